// The engine stand-in under the real service control manager.
#include <gtest/gtest.h>

#include <vector>

#include "channel/standin_engine.h"
#include "foundation/unique_handle.h"

namespace {

using testing_support::StandinEngine;

std::vector<char> ReadServiceConfig() {
    UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    UniqueServiceHandle service(::OpenServiceA(manager.get(), "ormvex", SERVICE_QUERY_CONFIG));
    DWORD needed = 0;
    ::QueryServiceConfigA(service.get(), nullptr, 0, &needed);
    std::vector<char> buffer(needed ? needed : 1);
    if (!::QueryServiceConfigA(service.get(), reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data()), needed,
                               &needed))
        buffer.clear();
    return buffer;
}

TEST(StandinService, RegistersItselfOnceAsAnAutomaticOwnProcessService) {
    StandinEngine engine;
    ASSERT_EQ(engine.Register(), 0);

    std::vector<char> buffer = ReadServiceConfig();
    ASSERT_FALSE(buffer.empty());
    const auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
    EXPECT_EQ(config->dwServiceType, static_cast<DWORD>(SERVICE_WIN32_OWN_PROCESS));
    EXPECT_EQ(config->dwStartType, static_cast<DWORD>(SERVICE_AUTO_START));
    EXPECT_STREQ(config->lpBinaryPathName, ("\"" + engine.Program() + "\"").c_str());

    std::string output;
    EXPECT_EQ(engine.Register(&output), 0);
    EXPECT_NE(output.find("already"), std::string::npos) << output;
}

TEST(StandinService, RunsUntilTheStopControl) {
    StandinEngine engine;
    ASSERT_TRUE(engine.Start());
    EXPECT_EQ(engine.State(), static_cast<DWORD>(SERVICE_RUNNING));
    ASSERT_TRUE(engine.Stop());
    // Started again after a stop, as the watchdog does.
    ASSERT_TRUE(engine.Start());
    ASSERT_TRUE(engine.Stop());
}

}  // namespace
