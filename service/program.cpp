#include "service/program.h"

#include <windows.h>

#include <cstdio>

#include "service/my_service.h"
#include "service/service_log.h"
#include "service/watchdog.h"

namespace {

constexpr UINT kBannerString = 1;
constexpr int kBannerSize = 256;
constexpr char kFinished[] = "\xD6\xB4\xD0\xD0\xCD\xEA\xB1\xCF";  // "执行完毕"

// The one worker and the one service object of the process; the worker outlives the
// service object, whose entry points reach it through a process-wide pointer.
CThread Worker;
CMyService Service("ormvexd", Worker);

}  // namespace

int ServiceProgramMain(int argc, char** argv) {
    CreateServiceLogFolder();
    // 1. and 2. There is no framework to initialise; the banner comes from the resources.
    char banner[kBannerSize] = {};
    ::LoadStringA(::GetModuleHandleA(nullptr), kBannerString, banner, kBannerSize);
    std::printf("%s\n", banner);
    // 3.
    if (!Service.HandleCommandLine(argc, argv)) Service.RunAsService();
    // 4. and 5.
    std::printf("%s\n", kFinished);
    std::fflush(stdout);
    return static_cast<int>(Service.ExitCode());
}
