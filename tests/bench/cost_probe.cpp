// Loaded into a running process by the benchmarks: writes what the process itself
// reports of its CPU time (kernel + user, 100 ns units) and working set (bytes) into
// C:\cost_probe_<process id>.txt, then refuses to stay loaded, so that it can be
// loaded again for the next reading. Wine answers another process's CPU time with
// zeros; asked from inside, it reports the real figure.
#include <windows.h>
#include <psapi.h>

#include <cstdio>

#include "foundation/unique_handle.h"

namespace {

unsigned long long Ticks(const FILETIME& t) {
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

void WriteCost() {
    FILETIME created{}, exited{}, kernel{}, user{};
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof memory);
    char path[64];
    std::snprintf(path, sizeof path, "C:\\cost_probe_%lu.txt", ::GetCurrentProcessId());
    char line[96];
    const int size = std::snprintf(line, sizeof line, "%llu %llu", Ticks(kernel) + Ticks(user),
                                   static_cast<unsigned long long>(memory.WorkingSetSize));
    UniqueFile file(::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    DWORD written = 0;
    ::WriteFile(file.get(), line, static_cast<DWORD>(size), &written, nullptr);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    WriteCost();
    return FALSE;  // unloaded at once
}
