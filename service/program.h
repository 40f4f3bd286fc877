// The process entry of ormvexd: banner, switches or the service, "执行完毕".
#pragma once

int ServiceProgramMain(int argc, char** argv);
