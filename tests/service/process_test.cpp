// Processes by image name, the clean-up batch and the notification-area refresh.
#include <gtest/gtest.h>

#include "foundation/text.h"
#include "foundation/hardware.h"
#include "foundation/unique_handle.h"
#include "service/service_test_support.h"
#include "support/test_support.h"

using namespace service_testing;
using testing_support::WaitFor;

namespace {

std::string ModulePath() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

}  // namespace

TEST(Processes, KillByNameEndsOtherInstancesButNeverTheCaller) {
    const std::string probe = testing_support::TestProgramFolder() + "process_probe.exe";
    CHardware hardware;
    EXPECT_EQ(hardware.IsProcessRunning("process_probe.exe"), 0);
    UniqueHandleKernel first(StartProcess(probe + " sleep"));
    UniqueHandleKernel second(StartProcess(probe + " sleep"));
    ASSERT_TRUE(first && second);
    for (const char* name : {"process_probe.exe", "PROCESS_PROBE.EXE", "Process_Probe.Exe"})
        EXPECT_EQ(hardware.IsProcessRunning(name), 1) << name;

    // The killer has the same image name: it ends both sleepers and lives on.
    RunResult killer = RunCaptured(probe + " kill");
    ASSERT_TRUE(killer.started);
    EXPECT_EQ(killer.exitCode, 11u) << "10 + a result of 1; 1 alone would mean it ended itself";
    for (HANDLE sleeper : {first.get(), second.get()}) {
        ASSERT_EQ(::WaitForSingleObject(sleeper, 5000), WAIT_OBJECT_0);
        DWORD code = 0;
        ::GetExitCodeProcess(sleeper, &code);
        EXPECT_EQ(code, 1u);
    }
    EXPECT_EQ(hardware.IsProcessRunning("process_probe.exe"), 0);
    EXPECT_EQ(hardware.KillProcessByName("process_probe.exe"), 0) << "nothing left to end";
}

TEST(Processes, EmptyNamesAndTheCallersOwnName) {
    CHardware hardware;
    EXPECT_EQ(hardware.IsProcessRunning(""), -1);
    EXPECT_EQ(hardware.KillProcessByName(""), 0);
    const std::string self = ModulePath().substr(ModulePath().rfind('\\') + 1);
    EXPECT_EQ(hardware.IsProcessRunning(self), 1);
    EXPECT_EQ(hardware.KillProcessByName(self), 0) << "only the caller has this name";
}

TEST(Processes, CleanupBatchLinesAndAppend) {
    testing_support::ScratchFolder scratch;
    const std::string self = ModulePath();
    const std::string head = "@echo off\r\n@ping -n 2 127.0.0.1 >nul\r\n\tdel /f /q \"" + self + "\"\r\n";
    const std::string tail = "\tdel /f /q %0";
    struct Case {
        const char* label;
        bool flag;
        std::string extra;
        std::string expected;
    };
    const std::string extra = "C:\\OrmVex\\" + ToGbk(L"数据");
    const Case cases[] = {
        {"with extra path", true, extra, head + "\trd /s /q \"" + extra + "\"\r\n" + tail},
        {"flag set, empty path", true, "", head + tail},
        {"flag clear", false, extra, head + tail},
    };
    CHardware hardware;
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const std::string batch = scratch / ("clean" + std::to_string(++n) + ".bat");
        EXPECT_EQ(hardware.WriteCleanupBatch(batch, c.flag, c.extra), 0);
        EXPECT_EQ(testing_support::ReadFileText(batch), c.expected);
        hardware.WriteCleanupBatch(batch, c.flag, c.extra);
        EXPECT_EQ(testing_support::ReadFileText(batch), c.expected + c.expected) << "appended";
    }
    EXPECT_EQ(hardware.WriteCleanupBatch(scratch / "missing\\x.bat", false, ""), 0);
    EXPECT_FALSE(testing_support::FileExists(scratch / "missing\\x.bat"));
}

TEST(Processes, RefreshTrayAreaWithoutTraySendsNothing) {
    ASSERT_EQ(::FindWindowA("Shell_TrayWnd", nullptr), nullptr) << "this desktop has a notification area";
    EXPECT_EQ(CHardware().RefreshTrayArea(), 0);
}
