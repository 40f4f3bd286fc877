// ormvexd.exe run from a console: the switches, what they register, and the run
// without a switch, compared byte for byte (GBK under code page 936).
#include <gtest/gtest.h>

#include "service/service_test_support.h"
#include "support/test_support.h"
#include "foundation/text.h"

using namespace service_testing;

namespace {

const std::string kBanner = ToGbk(L"Orm·防入侵系统守护程序") + "\r\n";
const std::string kFinished = ToGbk(L"执行完毕") + "\r\n";
const char kServiceKey[] = "SYSTEM\\CurrentControlSet\\Services\\ormvexd";
const char kEventSourceKey[] = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\ormvexd";

struct SwitchCase {
    const char* arguments;
    std::string lines;  // between the banner and "执行完毕"
};

}  // namespace

TEST(CommandLine, SwitchesInAnyFormAndCasePrintTheirLines) {
    const std::string program = InstallProgram("ormvexd.exe");
    const SwitchCase cases[] = {
        {"-v", "ormvexd Version 1.0\r\nThe service is not installed\r\n"},
        {"-U", "ormvexd is not installed\r\n"},
        {"/I", "ormvexd installed\r\n"},
        {"-i", "ormvexd is already installed\r\n"},
        {"/V", "ormvexd Version 1.0\r\nThe service is currently installed\r\n"},
        {"/u", "ormvexd removed. (You must delete the file (" + program + ") yourself.)\r\n"},
        {"-u", "ormvexd is not installed\r\n"},
        {"-I extra words", "ormvexd installed\r\n"},
    };
    for (const SwitchCase& c : cases) {
        SCOPED_TRACE(c.arguments);
        RunResult run = RunCaptured(program + " " + c.arguments);
        ASSERT_TRUE(run.started);
        EXPECT_EQ(run.output, kBanner + c.lines + kFinished);
        EXPECT_EQ(run.exitCode, 0u);
    }
}

TEST(CommandLine, WithoutSwitchOrWithUnknownOnePrintsBannerAndFinishes) {
    const std::string program = InstallProgram("ormvexd.exe");
    for (const char* arguments : {"", " -x", " run"}) {
        SCOPED_TRACE(arguments);
        RunResult run = RunCaptured(program + arguments);
        ASSERT_TRUE(run.started);
        EXPECT_EQ(run.output, kBanner + kFinished);
        EXPECT_EQ(run.exitCode, 0u);
    }
    EXPECT_EQ(ServiceState("ormvexd"), 0u) << "nothing registered";
}

TEST(CommandLine, InstallRegistersServiceDescriptionAndEventSource) {
    const std::string program = InstallProgram("ormvexd.exe");
    ASSERT_TRUE(RunCaptured(program + " -i").started);

    ServiceConfig config;
    ASSERT_TRUE(ReadServiceConfig("ormvexd", config));
    EXPECT_EQ(config.imagePath, program);
    EXPECT_EQ(config.startType, static_cast<DWORD>(SERVICE_AUTO_START));
    EXPECT_EQ(config.errorControl, static_cast<DWORD>(SERVICE_ERROR_NORMAL));
    EXPECT_EQ(config.serviceType & SERVICE_WIN32_OWN_PROCESS, static_cast<DWORD>(SERVICE_WIN32_OWN_PROCESS));
    EXPECT_EQ(ServiceState("ormvexd"), static_cast<DWORD>(SERVICE_STOPPED)) << "registered, not started";

    DWORD type = 0;
    std::string data;
    ASSERT_TRUE(ReadRegistryValue(kServiceKey, "Description", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data, ToGbk(L"Orm·防入侵集群系统守护进程服务，停止后可能导致系统部分功能异常") + '\0');
    ASSERT_TRUE(ReadRegistryValue(kEventSourceKey, "EventMessageFile", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(data, program + '\0');
    DWORD types = 0;
    ASSERT_TRUE(ReadRegistryNumber(kEventSourceKey, "TypesSupported", types));
    EXPECT_EQ(types, 7u);

    // Removal leaves the event source in place.
    ASSERT_TRUE(RunCaptured(program + " -u").started);
    EXPECT_EQ(ServiceState("ormvexd"), 0u);
    EXPECT_TRUE(ReadRegistryValue(kEventSourceKey, "EventMessageFile", type, data));
}

// The control manager would split an unquoted path at its first blank and might run
// "C:\Orm.exe" instead; the event source keeps the plain file path.
TEST(CommandLine, InstallFromFolderWithBlankQuotesTheImagePath) {
    const std::string folder = "C:\\Orm Vex Folder\\";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    const std::string program = folder + "ormvexd.exe";
    ASSERT_TRUE(::CopyFileA(InstallProgram("ormvexd.exe").c_str(), program.c_str(), FALSE));
    RunResult run = RunCaptured("\"" + program + "\" -i");
    EXPECT_EQ(run.output, kBanner + "ormvexd installed\r\n" + kFinished);
    ServiceConfig config;
    ASSERT_TRUE(ReadServiceConfig("ormvexd", config));
    EXPECT_EQ(config.imagePath, "\"" + program + "\"");
    DWORD type = 0;
    std::string data;
    ASSERT_TRUE(ReadRegistryValue(kEventSourceKey, "EventMessageFile", type, data));
    EXPECT_EQ(data, program + '\0');
    // And the control manager starts it from there.
    ASSERT_TRUE(StartServiceNamed("ormvexd"));
    EXPECT_TRUE(WaitForServiceState("ormvexd", SERVICE_RUNNING));
    ControlServiceNamed("ormvexd", SERVICE_CONTROL_STOP);
    EXPECT_TRUE(WaitForServiceState("ormvexd", SERVICE_STOPPED));
}

TEST(CommandLine, RemoveWhileRunningTellsToDeleteTheFileAndServiceRunsOnUntilStopped) {
    const std::string program = InstallProgram("ormvexd.exe");
    RunCaptured(program + " -i");
    ASSERT_TRUE(StartServiceNamed("ormvexd"));
    ASSERT_TRUE(WaitForServiceState("ormvexd", SERVICE_RUNNING));
    RunResult run = RunCaptured(program + " -u");
    EXPECT_EQ(run.output,
              kBanner + "ormvexd removed. (You must delete the file (" + program + ") yourself.)\r\n" + kFinished);
    EXPECT_EQ(ServiceState("ormvexd"), static_cast<DWORD>(SERVICE_RUNNING));
    ASSERT_TRUE(ControlServiceNamed("ormvexd", SERVICE_CONTROL_STOP));
    EXPECT_TRUE(testing_support::WaitFor([] { return ServiceState("ormvexd") != SERVICE_RUNNING; },
                                         std::chrono::milliseconds(10000)));
    EXPECT_TRUE(testing_support::WaitFor([] { return ServiceState("ormvexd") == 0; }, std::chrono::milliseconds(10000)))
        << "gone once stopped";
}
