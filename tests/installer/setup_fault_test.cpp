// Unattended upgrades of a running, watched installation that are ended from outside
// at points of their way (as a crash or a power cut would), then run again: the second
// run finishes, the configuration is the one from before, both services run.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <iostream>

#include "channel/standin_engine.h"
#include "foundation/text.h"
#include "setup_driver.h"
#include "support/test_support.h"

using namespace setup_testing;
using testing_support::FileExists;
using testing_support::FolderExists;
using testing_support::ReadFileText;
using testing_support::WaitFor;

namespace {

constexpr auto kRunLimit = 120s;
constexpr auto kPointLimit = 60s;
// The points last a few hundred milliseconds at most; looked at this often.
constexpr auto kPointPoll = 5ms;
constexpr char kEntry[] = "keep1234";
constexpr char kCustomerData[] = "the customer's rules and hosts";

bool BothServicesRunning() {
    return ServiceState("ormvex") == SERVICE_RUNNING && ServiceState("ormvexd") == SERVICE_RUNNING;
}

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

struct FaultCase {
    const char* name;
    // True once the upgrade under way has reached the point; the folder is its argument.
    bool (*reached)(const std::string& folder);
};

void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

class InterruptedUpgrade : public ::testing::TestWithParam<FaultCase> {
protected:
    // An installation as a finished upgrade leaves it: both services registered from
    // the folder and running, the engine set up under its entry path, the customer's
    // database beside it.
    void SetUp() override {
        ASSERT_TRUE(engine_.Start());
        folder_ = engine_.Folder();
        ASSERT_EQ(testing_support::RunProgram(engine_.Program() + " install " + kEntry, 20s), 0);
        ASSERT_TRUE(testing_support::WriteFileBytes(folder_ + "config\\config.db", kCustomerData));
        ASSERT_TRUE(WaitFor([&] { return FileExists(folder_ + "config\\cache.ini"); }, 10s));
        WriteRecord(folder_);
        const auto started = std::chrono::steady_clock::now();
        SetupRun first("update");
        ASSERT_TRUE(first.WaitExit(kRunLimit)) << UpdateLog(folder_);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::cout << "unattended upgrade, start to end: " << seconds << " s" << std::endl;
        RecordProperty("unattended upgrade seconds", std::to_string(seconds));
        ASSERT_TRUE(WaitFor(BothServicesRunning, 30s));
        ASSERT_EQ(Count(UpdateLog(folder_), Gbk(L"升级完成！")), 1u) << UpdateLog(folder_);
    }

    testing_support::StandinEngine engine_;
    std::string folder_;
};

TEST_P(InterruptedUpgrade, SecondRunCompletesAndKeepsTheConfiguration) {
    const FaultCase& c = GetParam();
    {
        SetupRun interrupted("update");
        ASSERT_TRUE(WaitFor([&] { return c.reached(folder_); }, kPointLimit, kPointPoll)) << UpdateLog(folder_);
        interrupted.Kill();
    }
    EXPECT_EQ(Count(UpdateLog(folder_), Gbk(L"升级完成！")), 1u) << "the run ended before its end";

    SetupRun again("update");
    ASSERT_TRUE(again.WaitExit(kRunLimit)) << UpdateLog(folder_);
    const std::string log = UpdateLog(folder_);
    EXPECT_EQ(Count(log, Gbk(L"升级完成！")), 2u) << log;
    EXPECT_EQ(log.find(Gbk(L"失败")), std::string::npos) << log;
    for (const char* name : {"ormvex.exe", "ormvexd.exe", "OrmVexPanel.exe", "update.exe", "http\\index.html"})
        EXPECT_TRUE(FileExists(folder_ + name)) << name;
    EXPECT_EQ(ReadFileText(folder_ + "config\\config.db"), kCustomerData);
    EXPECT_TRUE(WaitFor(BothServicesRunning, 30s));
    EXPECT_EQ(EngineLocalUrl(folder_), std::string("http://localhost:6689/") + kEntry);
    EXPECT_EQ(ReadRecord("apppath"), folder_);
}

INSTANTIATE_TEST_SUITE_P(
    SetupFaults, InterruptedUpgrade,
    ::testing::Values(
        FaultCase{"AfterTheServicesStopped",
                  [](const std::string&) {
                      return ServiceState("ormvex") == SERVICE_STOPPED && ServiceState("ormvexd") == SERVICE_STOPPED;
                  }},
        FaultCase{"WhileTheEngineProgramIsMovedAside",
                  [](const std::string& folder) { return !FileExists(folder + "ormvex.exe"); }},
        FaultCase{"AfterTheWebPagesWereRemoved",
                  [](const std::string& folder) { return !FolderExists(folder + "http"); }}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

}  // namespace
