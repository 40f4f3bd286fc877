// ormvex.exe, the engine stand-in. Command lines:
//   /i                          register the service "ormvex" and exit
//   install <entry>             first-time set-up with the site's entry path
//   getuninstallinfo <file>     uninstall answer into temp\<file>
//   getentrylocalurl <file>     local address into temp\<file>
//   (none, from the SCM)        run as the service: channel, site, cache.ini
// Its folder is its program folder, as for the real engine.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "foundation/files.h"
#include "tools/ormvex/standin_queries.h"
#include "tools/ormvex/standin_service.h"

int main(int argc, char** argv) {
    const std::string word = argc >= 2 ? argv[1] : "";
    if (word == "/i" || word == "-i") return RegisterStandinService();
    if (argc == 3) {
        const std::string folder = ModuleFolder();
        if (word == "install") return RunInstall(folder, argv[2]);
        if (word == "getuninstallinfo") return WriteUninstallInfo(folder, argv[2]);
        if (word == "getentrylocalurl") return WriteEntryLocalUrl(folder, argv[2]);
    }
    if (argc == 1) {
        if (RunStandinService() == 0) return 0;
        std::printf("ormvex: engine stand-in; run it as the service ormvex (register it with /i)\n");
        return 2;
    }
    std::printf("ormvex: unknown command line\n");
    return 2;
}
