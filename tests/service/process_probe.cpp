// A helper process for the process tests. "process_probe.exe sleep" waits a minute;
// "process_probe.exe kill" ends every other process of its own image name and exits
// with 10 + the result of KillProcessByName, so a probe that ended itself shows as 1.
#include <windows.h>

#include <cstring>

#include "foundation/hardware.h"

int main(int argc, char** argv) {
    constexpr DWORD kSleepMs = 60000;
    constexpr int kResultBase = 10;
    if (argc > 1 && std::strcmp(argv[1], "kill") == 0)
        return kResultBase + CHardware().KillProcessByName("PROCESS_PROBE.exe");
    ::Sleep(kSleepMs);
    return 0;
}
