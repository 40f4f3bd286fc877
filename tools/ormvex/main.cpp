// ormvex.exe, the engine stand-in. Command lines:
//   /i                           register the service "ormvex" and exit
//   (none, from the SCM)         run as that service
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "tools/ormvex/standin_service.h"

int main(int argc, char** argv) {
    if (argc >= 2 && (std::strcmp(argv[1], "/i") == 0 || std::strcmp(argv[1], "-i") == 0)) {
        return RegisterStandinService();
    }
    if (argc == 1) {
        if (RunStandinService() == 0) return 0;
        std::printf("ormvex: engine stand-in; run it as the service ormvex (register it with /i)\n");
        return 2;
    }
    std::printf("ormvex: unknown command line\n");
    return 2;
}
