// What the resident panel costs: time from start until it sits in the tray, CPU
// time over a minute in the tray with the engine running, and its working set
// after the start-up trim. Prints the numbers; checks only generous bounds.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "panel_driver.h"
#include "process_cost.h"

using namespace panel_testing;

namespace {
constexpr auto kResidentWindow = 60s;  // the span the CPU time is measured over
}  // namespace

TEST(PanelCost, StartResidentCpuAndWorkingSet) {
    PanelScene scene;
    ASSERT_TRUE(scene.Engine().Start());
    auto started = std::chrono::steady_clock::now();
    scene.Start("autorun");
    ASSERT_TRUE(scene.WaitResident());
    auto resident = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    // The panel's own readings at both ends of the window (Wine answers another
    // process's CPU time with zeros).
    bench_support::ProcessCost before, after;
    ASSERT_TRUE(bench_support::ReadProcessCost(scene.ProcessId(), &before));
    // The measuring window itself: the panel must still be there at its end.
    EXPECT_FALSE(scene.WaitExit(0, kResidentWindow, nullptr));
    ASSERT_TRUE(bench_support::ReadProcessCost(scene.ProcessId(), &after));
    const double cpu = after.cpuMilliseconds - before.cpuMilliseconds;
    std::printf("measured: start to resident %lld ms\n", static_cast<long long>(resident.count()));
    std::printf("measured: CPU time over 60 s resident %.1f ms\n", cpu);
    std::printf("measured: working set after the trim %.1f MiB, after 60 s %.1f MiB\n", before.workingSetMiB,
                after.workingSetMiB);
    std::printf("BENCH panel_cost cpu_ms=%.1f working_set_mib=%.1f\n", cpu, after.workingSetMiB);
    EXPECT_LT(resident.count(), 10000);
    EXPECT_LT(cpu, 3000.0);  // under 5 % of one core
}
