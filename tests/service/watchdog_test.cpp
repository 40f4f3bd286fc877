// The watchdog inside ormvexd.exe, installed beside the engine stand-in ormvex.exe.
#include <gtest/gtest.h>

#include "service/service_test_support.h"
#include "support/test_support.h"

using namespace service_testing;
using testing_support::FileExists;
using testing_support::WaitFor;

TEST(Watchdog, LeftoverOfReplacedProgramIsGoneAboutASecondAfterStart) {
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
