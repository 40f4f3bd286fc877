#include "process_cost.h"

#include <cstdio>
#include <string>

#include "support/test_support.h"

namespace bench_support {

bool ReadProcessCost(DWORD processId, ProcessCost* cost) {
    constexpr auto kReadingLimit = std::chrono::milliseconds(10000);
    char name[64];
    std::snprintf(name, sizeof name, "C:\\cost_probe_%lu.txt", processId);
    const std::string reading = name;
    ::DeleteFileA(reading.c_str());
    if (!testing_support::LoadIntoProcess(processId, testing_support::TestProgramFolder() + "cost_probe.dll"))
        return false;
    if (!testing_support::WaitFor([&] { return testing_support::FileExists(reading); }, kReadingLimit)) return false;
    unsigned long long cpu = 0, workingSet = 0;
    if (std::sscanf(testing_support::ReadFileText(reading).c_str(), "%llu %llu", &cpu, &workingSet) != 2) return false;
    ::DeleteFileA(reading.c_str());
    cost->cpuMilliseconds = static_cast<double>(cpu) / 10000.0;
    cost->workingSetMiB = static_cast<double>(workingSet) / 1048576.0;
    return true;
}

}  // namespace bench_support
