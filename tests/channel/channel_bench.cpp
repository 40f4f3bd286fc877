// Round-trip time of channel commands against the stand-in service. A benchmark:
// it prints its figures; only failed exchanges fail it.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "channel/engine_channel.h"
#include "channel/standin_engine.h"

namespace {

constexpr int kRoundTrips = 200;

TEST(ChannelBench, RoundTripOf200Commands) {
    testing_support::StandinEngine engine;
    ASSERT_TRUE(engine.Start());
    CEngineChannel channel(engine.Folder());
    const char* const words[] = {"getport", "geturl", "getinfo", "showme"};
    std::vector<double> times;
    int failures = 0;
    for (int i = 0; i < kRoundTrips; ++i) {
        std::string answer;
        const auto start = std::chrono::steady_clock::now();
        if (!channel.SendEngineCommand(words[i % 4], "", answer)) ++failures;
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    const double median = (times[kRoundTrips / 2 - 1] + times[kRoundTrips / 2]) / 2;
    const double p99 = times[static_cast<std::size_t>(kRoundTrips * 99 / 100) - 1];
    std::printf("channel round trip over %d commands: median %.1f ms, 99th percentile %.1f ms, max %.1f ms, "
                "failed %d\n",
                kRoundTrips, median, p99, times.back(), failures);
    std::printf("BENCH channel_ms median=%.1f p99=%.1f min=%.1f max=%.1f\n", median, p99, times.front(), times.back());
    EXPECT_EQ(failures, 0);
}

}  // namespace
