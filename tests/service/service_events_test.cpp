// ormvexd under the control manager: start, the counter control, an unknown control
// and a stop. Wine's ReportEvent stores nothing, so the records are read from the
// recorder of ormvexd_probe.exe (the same service code with a recorder added).
#include <gtest/gtest.h>

#include "service/service_test_support.h"
#include "support/test_support.h"

using namespace service_testing;
using testing_support::ReadFileText;
using testing_support::WaitFor;

namespace {

const char kParametersKey[] = "SYSTEM\\CurrentControlSet\\Services\\ormvexd\\Parameters";
const char kStatusKey[] = "SYSTEM\\CurrentControlSet\\Services\\ormvexd\\Status";
constexpr auto kEventDeadline = std::chrono::milliseconds(5000);

std::string EventsText() { return ReadFileText(std::string(kInstallFolder) + "events.txt"); }

bool HasEvent(const std::string& line) { return EventsText().find(line + "\r\n") != std::string::npos; }

std::string InstallProbe() {
    const std::string probe = InstallProgram("ormvexd_probe.exe");
    RunResult run = RunCaptured(probe + " -i");
    EXPECT_NE(run.output.find("ormvexd installed"), std::string::npos) << run.output;
    return probe;
}

}  // namespace

TEST(ServiceEvents, InstallAndRemoveRecord100And101_SeenThroughRecorderAsWineEventLogStoresNothing) {
    const std::string probe = InstallProbe();
    EXPECT_TRUE(HasEvent("4 100 ormvexd"));
    RunCaptured(probe + " -u");
    EXPECT_TRUE(HasEvent("4 101 ormvexd"));
    EXPECT_EQ(EventsText(), "4 100 ormvexd\r\n4 101 ormvexd\r\n");
}

TEST(ServiceEvents, RunsCountsAndStops_EventsSeenThroughRecorderAsWineEventLogStoresNothing) {
    InstallProbe();
    ASSERT_TRUE(WriteRegistryNumber(kParametersKey, "Start", 5));
    ASSERT_TRUE(WriteRegistryNumber(kParametersKey, "Inc", 2));
    ASSERT_TRUE(StartServiceNamed("ormvexd"));
    ASSERT_TRUE(WaitForServiceState("ormvexd", SERVICE_RUNNING));
    EXPECT_TRUE(WaitFor([] { return HasEvent("4 105 "); }, kEventDeadline));

    // 128 saves the counter: 5, then 2 more every second.
    DWORD current = 0;
    ASSERT_TRUE(ControlServiceNamed("ormvexd", 128));
    ASSERT_TRUE(WaitFor([&] { return ReadRegistryNumber(kStatusKey, "Current", current); }, kEventDeadline));
    EXPECT_GE(current, 5u);
    EXPECT_EQ((current - 5) % 2, 0u);
    ASSERT_TRUE(WaitFor(
        [&] {
            ControlServiceNamed("ormvexd", 128);
            return ReadRegistryNumber(kStatusKey, "Current", current) && current >= 11;
        },
        std::chrono::milliseconds(10000)));
    EXPECT_EQ((current - 5) % 2, 0u);
    EXPECT_EQ(EventsText().find(" 106 "), std::string::npos) << "128 is handled";

    // An unknown user code: event 106, the saved counter stays.
    DWORD saved = 0;
    ASSERT_TRUE(ReadRegistryNumber(kStatusKey, "Current", saved));
    ControlServiceNamed("ormvexd", 129);
    EXPECT_TRUE(WaitFor([] { return HasEvent("1 106 "); }, kEventDeadline));
    DWORD after = 0;
    ASSERT_TRUE(ReadRegistryNumber(kStatusKey, "Current", after));
    EXPECT_EQ(after, saved);
    EXPECT_EQ(ServiceState("ormvexd"), static_cast<DWORD>(SERVICE_RUNNING));

    // Stop: event 108 and the stopped state within about a second.
    const auto asked = std::chrono::steady_clock::now();
    ASSERT_TRUE(ControlServiceNamed("ormvexd", SERVICE_CONTROL_STOP));
    EXPECT_TRUE(WaitForServiceState("ormvexd", SERVICE_STOPPED, std::chrono::milliseconds(5000)));
    // The loop notices within a second; the rest is room for a busy machine.
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(4000));
    EXPECT_TRUE(HasEvent("4 108 "));
}

TEST(ServiceEvents, MissingParametersKeepDefaults) {
    InstallProbe();
    ASSERT_TRUE(StartServiceNamed("ormvexd"));
    ASSERT_TRUE(WaitForServiceState("ormvexd", SERVICE_RUNNING));
    DWORD current = 0;
    ASSERT_TRUE(WaitFor(
        [&] {
            ControlServiceNamed("ormvexd", 128);
            return ReadRegistryNumber(kStatusKey, "Current", current) && current >= 2;
        },
        std::chrono::milliseconds(10000)));
    EXPECT_LE(current, 4u) << "starts at 0 and grows by 1 a second";
    ControlServiceNamed("ormvexd", SERVICE_CONTROL_STOP);
    EXPECT_TRUE(WaitForServiceState("ormvexd", SERVICE_STOPPED));
}
