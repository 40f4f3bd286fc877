// The channel's edges: words outside the table, a stopped engine, the exact status
// rule, stale, late and damaged answers, and the request as it goes on the wire.
#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "channel/channel_test_support.h"
#include "channel/engine_channel.h"
#include "channel/engine_endpoint.h"
#include "foundation/aes.h"
#include "foundation/scramble.h"
#include "foundation/text.h"
#include "foundation/unique_handle.h"
#include "support/test_support.h"

namespace {

using namespace testing_support;
using Clock = std::chrono::steady_clock;

const char* const kWords[] = {"showme", "geturl", "getport", "getinfo", "getauth", "adduser", "setinfo", "setport"};

// The endpoint served by the test itself, while no engine runs: what the client
// writes can be read back exactly as it went.
class WireRecorder {
public:
    WireRecorder()
        : slot_(::CreateMailslotA(Unscrambled(scrambled::kChannelEndpoint).c_str(), 0, 0, nullptr)) {}
    bool Serving() const { return slot_.get() != INVALID_HANDLE_VALUE; }
    // Every message waiting, each one whole.
    std::vector<std::string> Messages() const {
        std::vector<std::string> messages;
        DWORD next = 0, count = 0;
        while (::GetMailslotInfo(slot_.get(), nullptr, &next, &count, nullptr) && next != MAILSLOT_NO_MESSAGE) {
            std::string message(next, '\0');
            DWORD read = 0;
            if (!::ReadFile(slot_.get(), &message[0], next, &read, nullptr)) break;
            messages.push_back(message.substr(0, read));
        }
        return messages;
    }

private:
    UniqueFile slot_;
};

std::string Sealed(const std::string& plain, const char* key = nullptr) {
    return CAesText(key ? std::string(key) : Unscrambled(scrambled::kChannelKey)).SealText(plain);
}

TEST(ChannelEdges, WordsOutsideTheTableNeverReachTheEngine) {
    WireRecorder wire;
    ASSERT_TRUE(wire.Serving());
    CEngineChannel channel(StandinEngine().Folder());
    for (const char* word : {"", "getports", "GETPORT", "getport ", "install", "getuninstallinfo"}) {
        SCOPED_TRACE(word);
        std::string answer;
        EXPECT_FALSE(channel.SendEngineCommand(word, "<port>1</port>", answer));
        EXPECT_EQ(answer, "<data>" + GbkOf(L"方法参数错误") + "</data>");
        EXPECT_EQ(channel.RequestBusy(), 0);
    }
    EXPECT_TRUE(wire.Messages().empty());
}

TEST(ChannelEdges, StoppedEngineFailsAtOnceWithoutAnAnswerFile) {
    StandinEngine engine;
    ASSERT_EQ(engine.Register(), 0);  // registered, never started
    CEngineChannel channel(engine.Folder());
    EXPECT_FALSE(IsEngineReachable());
    for (const char* word : kWords) {
        SCOPED_TRACE(word);
        const auto start = Clock::now();
        std::string answer;
        EXPECT_FALSE(channel.SendEngineCommand(word, "", answer));
        EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(500));
        EXPECT_EQ(answer, GbkOf(L"Orm·防入侵集群系统") + GbkOf(L"未运行"));
        EXPECT_FALSE(FileExists(engine.Folder() + "config\\_panel.db"));
    }
}

TEST(ChannelEdges, OnlyAStatusOfExactlyOneSucceeds) {
    StandinEngine engine;
    ASSERT_TRUE(engine.Start());
    CEngineChannel channel(engine.Folder());
    struct StatusCase {
        const char* switches;  // the [test] section
        bool succeeds;
        const char* status;
    };
    const StatusCase cases[] = {
        {"status=1", true, "1"},
        {"status=01", false, "01"},
        {"status=\"1 \"", false, "1 "},
        {"status=0", false, "0"},
        {"nostatus=1", false, ""},
    };
    for (const StatusCase& c : cases) {
        SCOPED_TRACE(c.switches);
        ASSERT_TRUE(engine.WriteSettings(std::string("[test]\r\n") + c.switches + "\r\n"));
        std::string answer;
        EXPECT_EQ(channel.SendEngineCommand("getport", "", answer), c.succeeds);
        EXPECT_EQ(TextBetween(answer, "<status>", "</status>"), c.status);
        EXPECT_EQ(answer.find("<status>") == std::string::npos, std::string(c.status).empty());
        EXPECT_EQ(FieldOf(answer, "port"), "6689") << "the answer text is returned either way";
    }
}

TEST(ChannelEdges, StaleLateAndDamagedAnswers) {
    StandinEngine engine;
    ASSERT_TRUE(engine.Start());
    CEngineChannel channel(engine.Folder());
    const std::string answerFile = engine.Folder() + "config\\_panel.db";

    // A stale answer is removed before the request, never taken for the new answer.
    ASSERT_TRUE(WriteFileBytes(answerFile, Sealed("<status>1</status><data><port>1111</port></data>")));
    std::string answer;
    EXPECT_TRUE(channel.SendEngineCommand("getport", "", answer));
    EXPECT_EQ(FieldOf(answer, "port"), "6689");

    // Late: an empty answer after about 4 s; the late file is removed by the next exchange.
    ASSERT_TRUE(engine.WriteSettings("[test]\r\nanswer=late\r\n"));
    auto start = Clock::now();
    EXPECT_FALSE(channel.SendEngineCommand("getport", "", answer));
    const auto waited = Clock::now() - start;
    EXPECT_EQ(answer, "");
    EXPECT_GE(waited, std::chrono::milliseconds(3900));
    EXPECT_LT(waited, std::chrono::milliseconds(4900));
    ASSERT_TRUE(WaitFor([&] { return FileExists(answerFile); }, std::chrono::seconds(5)));
    ASSERT_TRUE(engine.WriteSettings("[test]\r\nanswer=normal\r\n"));
    EXPECT_TRUE(channel.SendEngineCommand("geturl", "", answer));
    EXPECT_EQ(FieldOf(answer, "localurl"), "http://localhost:6689");
    EXPECT_EQ(FieldOf(answer, "port"), "");

    // Damaged: sealed with another key; a failure with every field empty.
    ASSERT_TRUE(engine.WriteSettings("[test]\r\nanswer=damaged\r\n"));
    EXPECT_FALSE(channel.SendEngineCommand("getinfo", "", answer));
    EXPECT_EQ(TextBetween(answer, "<status>", "</status>"), "");
    for (const char* tag : {"localurl", "outerurl", "onlylocal"}) EXPECT_EQ(FieldOf(answer, tag), "") << tag;
    EXPECT_FALSE(FileExists(answerFile));
}

TEST(ChannelEdges, RequestOnTheWireIsUpperHexInWholeBlocksAndOneZeroByte) {
    WireRecorder wire;
    ASSERT_TRUE(wire.Serving());
    const std::string requests[] = {
        "",
        "<cmd>getport</cmd>",                      // 18 bytes
        "<cmd>showme</cmd>",                       // 17
        std::string(15, 'x'), std::string(16, 'x'), std::string(31, 'x'), std::string(32, 'x'),
        "<cmd>adduser</cmd><softpass>" + GbkOf(L"授权码") + "</softpass>",
    };
    for (const std::string& request : requests) {
        SCOPED_TRACE(request);
        ASSERT_TRUE(WriteEngineRequest(request, false));
        const std::vector<std::string> messages = wire.Messages();
        ASSERT_EQ(messages.size(), 1u) << "one write is one request";
        const std::string& message = messages[0];
        ASSERT_FALSE(message.empty());
        EXPECT_EQ(message.back(), '\0');
        const std::string hex = message.substr(0, message.size() - 1);
        EXPECT_EQ(hex.find('\0'), std::string::npos);
        EXPECT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos);
        EXPECT_EQ(hex.size(), 32 * (request.size() / 16 + 1));
        EXPECT_EQ(CAesText(Unscrambled(scrambled::kChannelKey)).OpenText(hex), request);
    }
    // A probe opens and closes and writes nothing.
    EXPECT_TRUE(IsEngineReachable());
    EXPECT_TRUE(wire.Messages().empty());
}

TEST(ChannelEdges, SendEngineCommandWritesWordAndParametersAndHoldsTheBusyFlag) {
    WireRecorder wire;
    ASSERT_TRUE(wire.Serving());
    StandinEngine engine;
    CEngineChannel channel(engine.Folder());
    // Answered by the test: the request is read off the wire and a sealed answer left.
    auto exchange = std::async(std::launch::async, [&] {
        std::string answer;
        const bool ok = channel.SendEngineCommand("setport", "<port>7001</port>", answer);
        return std::make_pair(ok, answer);
    });
    std::vector<std::string> messages;
    ASSERT_TRUE(WaitFor([&] { return !(messages = wire.Messages()).empty(); }, std::chrono::seconds(3)));
    EXPECT_EQ(channel.RequestBusy(), 1);
    EXPECT_EQ(CAesText(Unscrambled(scrambled::kChannelKey)).OpenText(messages[0]),
              "<cmd>setport</cmd><port>7001</port>");
    ASSERT_TRUE(WriteFileBytes(engine.Folder() + "config\\_panel.db", Sealed("<status>1</status><data>ok</data>")));
    ASSERT_EQ(exchange.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    const auto result = exchange.get();
    EXPECT_TRUE(result.first);
    EXPECT_EQ(result.second, "<status>1</status><data>ok</data>");
    EXPECT_EQ(channel.RequestBusy(), 0);
}

}  // namespace
