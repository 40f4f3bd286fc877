// The panel's status thread probes the endpoint while its user-interface thread
// sends requests; neither may block the other, read a running engine as stopped
// or take another request's answer.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

#include "channel/channel_test_support.h"
#include "channel/engine_channel.h"
#include "channel/engine_endpoint.h"
#include "support/test_support.h"

namespace {

using namespace testing_support;

// Each exchange takes about 200 ms; the whole run stays well inside its deadline.
constexpr int kExchangesPerSender = 15;
constexpr auto kRunDeadline = std::chrono::seconds(60);

struct SenderResult {
    int failures = 0;
    int mixedUp = 0;
};

SenderResult SendMany(CEngineChannel& channel, bool portFirst) {
    SenderResult result;
    for (int i = 0; i < kExchangesPerSender; ++i) {
        const bool askPort = (i % 2 == 0) == portFirst;
        std::string answer;
        if (!channel.SendEngineCommand(askPort ? "getport" : "geturl", "", answer)) {
            ++result.failures;
            continue;
        }
        const bool right = askPort ? FieldOf(answer, "port") == "6689" && FieldOf(answer, "localurl").empty()
                                   : FieldOf(answer, "localurl") == "http://localhost:6689" &&
                                         FieldOf(answer, "port").empty();
        if (!right) ++result.mixedUp;
    }
    return result;
}

TEST(ChannelConcurrency, ProbesAndTwoSendersNeverDeadlockOrMixUpAnswers) {
    StandinEngine engine;
    ASSERT_TRUE(engine.Start());
    CEngineChannel channel(engine.Folder());

    std::atomic<bool> sending{true};
    auto prober = std::async(std::launch::async, [&] {
        int probes = 0, unreachable = 0;
        while (sending.load()) {
            ++probes;
            if (!IsEngineReachable()) ++unreachable;
        }
        return std::make_pair(probes, unreachable);
    });
    auto first = std::async(std::launch::async, [&] { return SendMany(channel, true); });
    auto second = std::async(std::launch::async, [&] { return SendMany(channel, false); });

    ASSERT_EQ(first.wait_for(kRunDeadline), std::future_status::ready) << "deadlock";
    ASSERT_EQ(second.wait_for(kRunDeadline), std::future_status::ready) << "deadlock";
    sending.store(false);
    ASSERT_EQ(prober.wait_for(std::chrono::seconds(5)), std::future_status::ready);

    const SenderResult a = first.get(), b = second.get();
    const auto probes = prober.get();
    EXPECT_EQ(a.failures + b.failures, 0);
    EXPECT_EQ(a.mixedUp + b.mixedUp, 0);
    EXPECT_GT(probes.first, 100) << "the prober ran throughout";
    EXPECT_EQ(probes.second, 0) << "a running engine was read as stopped";
}

}  // namespace
