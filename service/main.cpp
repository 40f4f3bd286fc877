#include "service/program.h"

int main(int argc, char** argv) { return ServiceProgramMain(argc, argv); }
