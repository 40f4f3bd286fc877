// What a running process costs, as the process itself reports it.
#pragma once
#include <windows.h>

namespace bench_support {

struct ProcessCost {
    double cpuMilliseconds = 0;  // kernel and user time since the process started
    double workingSetMiB = 0;
};

// Reads the cost through cost_probe.dll (beside the test program) loaded into the
// process; false when no reading came.
bool ReadProcessCost(DWORD processId, ProcessCost* cost);

}  // namespace bench_support
