// CServiceCtrl against Wine's control manager, with ormvexd as the service to start,
// stop and remove, and services registered by hand for the image-path cases.
#include <gtest/gtest.h>

#include "foundation/service_ctrl.h"
#include "foundation/unique_handle.h"
#include "service/service_test_support.h"
#include "support/test_support.h"

using namespace service_testing;

namespace {

// Registers a service that is never started; false when the manager refuses.
bool RegisterService(const std::string& name, const std::string& commandLine, const char* account,
                     const char* password) {
    UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) return false;
    UniqueServiceHandle service(::CreateServiceA(manager.get(), name.c_str(), name.c_str(), SERVICE_ALL_ACCESS,
                                                 SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                                 SERVICE_ERROR_NORMAL, commandLine.c_str(), nullptr, nullptr,
                                                 nullptr, account, password));
    return static_cast<bool>(service);
}

std::string InstallWatchdog() {
    const std::string program = InstallProgram("ormvexd.exe");
    RunCaptured(program + " -i");
    return program;
}

}  // namespace

TEST(ServiceCtrl, EmptyNamesAndMissingServicesGiveZero) {
    CServiceCtrl control;
    EXPECT_EQ(control.SetStartType("", SERVICE_AUTO_START), 0);
    EXPECT_EQ(control.SetRestartOnFailure(""), 0);
    EXPECT_EQ(control.ServiceExists(""), 0);
    EXPECT_EQ(control.ServiceExists("ormvex_missing"), 0);
    EXPECT_EQ(control.SetStartType("ormvex_missing", SERVICE_AUTO_START), 0);
    EXPECT_EQ(control.RemoveService("ormvex_missing"), 0);
    EXPECT_EQ(control.IsServiceRunning("ormvex_missing"), 0);
    std::string account = "unchanged";
    EXPECT_EQ(control.GetServiceImagePath("ormvex_missing", account), "");
    EXPECT_EQ(account, "unchanged");
    EXPECT_EQ(control.StartOrStop("ormvex_missing", true, "", false), 0);
    const auto asked = std::chrono::steady_clock::now();
    EXPECT_EQ(control.StartOrStop("ormvex_missing", false, "", false), CServiceCtrl::kStopFailed);
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(1000)) << "returns at once";
}

TEST(ServiceCtrl, ImagePathIsBareLowerCasedExeAndLocalAccountLosesDotBackslash) {
    struct Case {
        const char* name;
        const char* commandLine;
        const char* account;
        const char* password;
        const char* expectedPath;
        const char* expectedAccount;
    };
    const Case cases[] = {
        {"img_quoted", "\"C:\\Orm Vex\\OrmVex.EXE\" -k run /x", nullptr, nullptr, "c:\\orm vex\\ormvex.exe",
         "LocalSystem"},
        {"img_noexe", "C:\\Tools\\Engine -service", nullptr, nullptr, "c:\\tools\\engine.exe", "LocalSystem"},
        {"img_slash", "C:\\Tools\\Engine.exe /run", nullptr, nullptr, "c:\\tools\\engine.exe", "LocalSystem"},
        {"img_local", "C:\\OrmVex\\ormvex.exe", ".\\svcuser", "pw", "c:\\ormvex\\ormvex.exe", "svcuser"},
        {"img_short", "C:", nullptr, nullptr, "c:", "LocalSystem"},
    };
    CServiceCtrl control;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(RegisterService(c.name, c.commandLine, c.account, c.password));
        std::string account;
        EXPECT_EQ(control.GetServiceImagePath(c.name, account), c.expectedPath);
        EXPECT_EQ(account, c.expectedAccount);
    }
}

TEST(ServiceCtrl, StartFormMakesManualServiceAutomaticAndRunning) {
    InstallWatchdog();
    CServiceCtrl control;
    {
        UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        UniqueServiceHandle service(::OpenServiceA(manager.get(), "ormvexd", SERVICE_ALL_ACCESS));
        ASSERT_TRUE(::ChangeServiceConfigA(service.get(), SERVICE_NO_CHANGE, SERVICE_DEMAND_START,
                                           SERVICE_ERROR_NORMAL, nullptr, nullptr, nullptr, nullptr, nullptr,
                                           nullptr, nullptr));
    }
    EXPECT_EQ(control.ServiceExists("ormvexd"), 1);
    EXPECT_EQ(control.IsServiceRunning("ormvexd"), 0);
    EXPECT_EQ(control.StartOrStop("ormvexd", true, "", false), 1);
    EXPECT_TRUE(testing_support::WaitFor([&] { return control.IsServiceRunning("ormvexd") == 1; },
                                         std::chrono::milliseconds(20000)));
    ServiceConfig config;
    ASSERT_TRUE(ReadServiceConfig("ormvexd", config));
    EXPECT_EQ(config.startType, static_cast<DWORD>(SERVICE_AUTO_START));
    EXPECT_EQ(config.errorControl, static_cast<DWORD>(SERVICE_ERROR_IGNORE));
    EXPECT_EQ(control.StartOrStop("ormvexd", true, "", false), 0) << "a running service gives a failed start";

    for (StopWait wait : {StopWait::PumpMessages, StopWait::Plain}) {
        EXPECT_EQ(control.StartOrStop("ormvexd", false, "", false, wait), CServiceCtrl::kStopped);
        EXPECT_EQ(ServiceState("ormvexd"), static_cast<DWORD>(SERVICE_STOPPED));
    }
}

TEST(ServiceCtrl, StartFormRunsTheServiceProgramFirstToRegisterIt) {
    const std::string program = InstallProgram("ormvexd.exe");
    CServiceCtrl control;
    EXPECT_EQ(control.StartOrStop("ormvexd", true, std::string(kInstallFolder), true), 0) << "a folder is not run";
    EXPECT_EQ(control.ServiceExists("ormvexd"), 0);
    EXPECT_EQ(control.StartOrStop("ormvexd", true, program, true), 1);
    EXPECT_TRUE(WaitForServiceState("ormvexd", SERVICE_RUNNING));
    std::string account;
    EXPECT_EQ(control.GetServiceImagePath("ormvexd", account), "c:\\ormvex\\ormvexd.exe");
    EXPECT_EQ(control.StartOrStop("ormvexd", false, "", false), CServiceCtrl::kStopped);
}

TEST(ServiceCtrl, RemoveServiceDeletesIt) {
    InstallWatchdog();
    CServiceCtrl control;
    EXPECT_EQ(control.ServiceExists("ormvexd"), 1);
    EXPECT_EQ(control.RemoveService("ormvexd"), 1);
    EXPECT_EQ(control.ServiceExists("ormvexd"), 0);
    EXPECT_EQ(control.RemoveService("ormvexd"), 0);
}

// Wine keeps reporting a service as running after its process was killed, which is
// exactly a service that never reaches the stopped state.
TEST(ServiceCtrl, StopFormGivesUpAfterItsLimitWhenTheServiceNeverStops) {
    InstallWatchdog();
    ASSERT_TRUE(StartServiceNamed("ormvexd"));
    ASSERT_TRUE(WaitForServiceState("ormvexd", SERVICE_RUNNING));
    {
        UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        UniqueServiceHandle service(::OpenServiceA(manager.get(), "ormvexd", SERVICE_QUERY_STATUS));
        SERVICE_STATUS_PROCESS status{};
        DWORD needed = 0;
        ASSERT_TRUE(::QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                                           sizeof(status), &needed));
        UniqueHandleKernel process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, status.dwProcessId));
        ASSERT_TRUE(process);
        ASSERT_TRUE(::TerminateProcess(process.get(), 9));
        ::WaitForSingleObject(process.get(), 5000);
    }
    if (ServiceState("ormvexd") != SERVICE_RUNNING) GTEST_SKIP() << "this control manager noticed the death";
    const auto asked = std::chrono::steady_clock::now();
    EXPECT_EQ(CServiceCtrl().StartOrStop("ormvexd", false, "", false), CServiceCtrl::kStopTimedOut);
    const auto waited = std::chrono::steady_clock::now() - asked;
    EXPECT_GE(waited, CServiceCtrl::kStopWaitLimit);
    EXPECT_LT(waited, CServiceCtrl::kStopWaitLimit + std::chrono::milliseconds(3000));
}

// Wine accepts failure actions and stores nothing, so this checks what we hand over.
TEST(ServiceCtrl, RestartOnFailurePlanIsThreeImmediateRestarts_WineStoresNoFailureActions) {
    const FailureActionsPlan plan = RestartOnFailurePlan();
    EXPECT_EQ(plan.resetPeriod, 0u);
    ASSERT_EQ(plan.actions.size(), 3u);
    for (const SC_ACTION& action : plan.actions) {
        EXPECT_EQ(action.Type, SC_ACTION_RESTART);
        EXPECT_EQ(action.Delay, 0u);
    }
    InstallWatchdog();
    CServiceCtrl control;
    EXPECT_EQ(control.SetRestartOnFailure("ormvexd"), 1);
    EXPECT_EQ(control.SetRestartOnFailure("ormvex_missing"), 0);
}
