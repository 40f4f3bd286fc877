// The watchdog inside ormvexd.exe, installed beside the engine stand-in ormvex.exe in
// an installation-like folder, both registered as services.
#include <gtest/gtest.h>

#include "foundation/service_ctrl.h"
#include "foundation/text.h"
#include "foundation/unique_handle.h"
#include "service/service_test_support.h"
#include "support/test_support.h"

using namespace service_testing;
using testing_support::FileExists;
using testing_support::WaitFor;

namespace {

// One cycle: up to 2 s until the next look, 0.5 s + 2 s of recovery, and the time
// Wine needs to start a service process.
constexpr auto kOneCycle = std::chrono::milliseconds(8000);
// Long enough for two more cycles, to see that nothing else is written.
constexpr auto kQuietPeriod = std::chrono::milliseconds(5000);

const std::string kLog = std::string(kInstallFolder) + "log\\ormipsd.log";
const std::string kRecovered = ToGbk(L"[服务]自动恢复ormvex成功");

std::string LogText() { return testing_support::ReadFileText(kLog); }

int LogLines() {
    const std::string text = LogText();
    int lines = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++lines;
    return lines;
}

// "yyyy-mm-dd hh:mm:ss<TAB>[服务]自动恢复ormvex成功\r\n"
void ExpectOneRecoveryLine(const std::string& text) {
    const std::string stamp = "dddd-dd-dd dd:dd:dd";
    ASSERT_EQ(text.size(), stamp.size() + 1 + kRecovered.size() + 2) << text;
    for (std::size_t i = 0; i < stamp.size(); ++i) {
        if (stamp[i] == 'd')
            EXPECT_TRUE(text[i] >= '0' && text[i] <= '9') << text;
        else
            EXPECT_EQ(text[i], stamp[i]) << text;
    }
    EXPECT_EQ(text.substr(stamp.size()), "\t" + kRecovered + "\r\n");
}

DWORD EngineProcessId() {
    UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    UniqueServiceHandle service(manager ? ::OpenServiceA(manager.get(), "ormvex", SERVICE_QUERY_STATUS) : nullptr);
    SERVICE_STATUS_PROCESS status{};
    DWORD needed = 0;
    if (service)
        ::QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof(status),
                               &needed);
    return status.dwProcessId;
}

class Watchdog : public ::testing::Test {
protected:
    // Both programs in the installation folder; the engine registered and running
    // when engineRunning, the watchdog service started last.
    void StartBoth(bool engineRunning) {
        engine_ = InstallProgram("ormvex.exe");
        watchdog_ = InstallProgram("ormvexd.exe");
        ASSERT_TRUE(RunCaptured(engine_ + " /i").started);
        ASSERT_TRUE(RunCaptured(watchdog_ + " -i").started);
        if (engineRunning) {
            ASSERT_TRUE(StartServiceNamed("ormvex"));
            ASSERT_TRUE(WaitForServiceState("ormvex", SERVICE_RUNNING));
        }
        ASSERT_TRUE(StartServiceNamed("ormvexd"));
        ASSERT_TRUE(WaitForServiceState("ormvexd", SERVICE_RUNNING));
    }

    void StopEngine() {
        ASSERT_TRUE(ControlServiceNamed("ormvex", SERVICE_CONTROL_STOP));
        ASSERT_TRUE(WaitForServiceState("ormvex", SERVICE_STOPPED));
    }

    std::string engine_, watchdog_;
};

}  // namespace

TEST_F(Watchdog, StoppedEngineRunsAgainWithinOneCycleAndOneLineIsLogged) {
    StartBoth(true);
    StopEngine();
    EXPECT_TRUE(WaitForServiceState("ormvex", SERVICE_RUNNING, kOneCycle));
    ASSERT_TRUE(WaitFor([] { return LogLines() >= 1; }, kOneCycle));
    EXPECT_FALSE(WaitFor([] { return LogLines() > 1; }, kQuietPeriod)) << LogText();
    ExpectOneRecoveryLine(LogText());
    ServiceConfig config;
    ASSERT_TRUE(ReadServiceConfig("ormvex", config));
    EXPECT_EQ(config.startType, static_cast<DWORD>(SERVICE_AUTO_START));
    EXPECT_EQ(config.errorControl, static_cast<DWORD>(SERVICE_ERROR_IGNORE));
}

TEST_F(Watchdog, DeletedEngineServiceIsRegisteredAgainByTheEngineProgram) {
    StartBoth(true);
    StopEngine();
    ASSERT_TRUE(DeleteServiceNamed("ormvex"));
    EXPECT_TRUE(WaitForServiceState("ormvex", SERVICE_RUNNING, kOneCycle));
    ASSERT_TRUE(WaitFor([] { return LogLines() >= 1; }, kOneCycle));
    EXPECT_FALSE(WaitFor([] { return LogLines() > 1; }, kQuietPeriod)) << LogText();
    ExpectOneRecoveryLine(LogText());
    std::string account;
    EXPECT_EQ(CServiceCtrl().GetServiceImagePath("ormvex", account), LowerCopy(engine_));
}

TEST_F(Watchdog, RunningEngineIsLeftAloneAndNothingIsLogged) {
    StartBoth(true);
    const DWORD engineProcess = EngineProcessId();
    ASSERT_NE(engineProcess, 0u);
    EXPECT_FALSE(WaitFor([] { return !LogText().empty(); }, kQuietPeriod)) << LogText();
    EXPECT_EQ(EngineProcessId(), engineProcess) << "the same engine process";
    EXPECT_TRUE(testing_support::FolderExists(std::string(kInstallFolder) + "log\\")) << "made at start";
}

// Without its program the engine cannot come back; the loop keeps looking, and
// brings it back once the program is there again.
TEST_F(Watchdog, MissingEngineProgramLogsNothingAndTheLoopGoesOn) {
    StartBoth(false);
    ASSERT_TRUE(DeleteServiceNamed("ormvex"));
    ASSERT_TRUE(::DeleteFileA(engine_.c_str()));
    EXPECT_FALSE(WaitFor([] { return !LogText().empty() || ServiceState("ormvex") != 0; }, kQuietPeriod));
    EXPECT_EQ(ServiceState("ormvexd"), static_cast<DWORD>(SERVICE_RUNNING));
    InstallProgram("ormvex.exe");
    EXPECT_TRUE(WaitForServiceState("ormvex", SERVICE_RUNNING, kOneCycle));
    ASSERT_TRUE(WaitFor([] { return LogLines() >= 1; }, kOneCycle));
    ExpectOneRecoveryLine(LogText());
}

TEST_F(Watchdog, LeftoverOfReplacedProgramIsGoneAboutASecondAfterStart) {
    const std::string program = InstallProgram("ormvexd.exe");
    const std::string leftover = program + ".del";
    ASSERT_TRUE(testing_support::WriteFileBytes(leftover, "old program"));
    ASSERT_TRUE(::SetFileAttributesA(leftover.c_str(), FILE_ATTRIBUTE_READONLY));
    RunCaptured(program + " -i");
    ASSERT_TRUE(StartServiceNamed("ormvexd"));
    ASSERT_TRUE(WaitForServiceState("ormvexd", SERVICE_RUNNING));
    EXPECT_TRUE(WaitFor([&] { return !FileExists(leftover); }, std::chrono::milliseconds(3000)));
    ControlServiceNamed("ormvexd", SERVICE_CONTROL_STOP);
    EXPECT_TRUE(WaitForServiceState("ormvexd", SERVICE_STOPPED));
}
