// Every command of the engine's table, through the real client, against the
// stand-in running as the service ormvex.
#include <gtest/gtest.h>

#include <functional>

#include "channel/channel_test_support.h"
#include "channel/engine_channel.h"
#include "foundation/text.h"
#include "support/test_support.h"

namespace {

using namespace testing_support;

struct CommandCase {
    const char* word;
    std::string parameters;
    bool succeeds;
    std::function<void(const std::string& answer, const StandinEngine& engine)> check;
};

TEST(EngineCommands, EveryCommandRoundTripsWithGbkMessages) {
    StandinEngine engine;
    ASSERT_TRUE(engine.WriteSettings("[standin]\r\nauthcode=Code-42\r\nouterurl=http://203.0.113.7:6689\r\n"));
    ASSERT_TRUE(engine.Start());
    CEngineChannel channel(engine.Folder());

    const std::vector<CommandCase> cases = {
        {"showme", "", true,
         [](const std::string& a, const StandinEngine&) {
             EXPECT_EQ(FieldOf(a, "ver"), "1.1.0");
             EXPECT_EQ(FieldOf(a, "localurl"), "http://localhost:6689");
             EXPECT_EQ(FieldOf(a, "outerurl"), "http://203.0.113.7:6689");
             EXPECT_FALSE(FieldOf(a, "user").empty());
         }},
        {"geturl", "", true,
         [](const std::string& a, const StandinEngine&) { EXPECT_EQ(FieldOf(a, "localurl"), "http://localhost:6689"); }},
        {"getport", "", true, [](const std::string& a, const StandinEngine&) { EXPECT_EQ(FieldOf(a, "port"), "6689"); }},
        {"getinfo", "", true,
         [](const std::string& a, const StandinEngine&) {
             EXPECT_EQ(FieldOf(a, "onlylocal"), "0");
             EXPECT_EQ(FieldOf(a, "outerurl"), "http://203.0.113.7:6689");
         }},
        {"getauth", "", true, nullptr},  // "1": an uninstall needs the code
        {"adduser", "<softpass>wrong</softpass>", false,
         [](const std::string& a, const StandinEngine&) { EXPECT_EQ(DataOf(a), GbkOf(L"授权码错误")); }},
        {"adduser", "<softpass>Code-42</softpass>", true,
         [](const std::string& a, const StandinEngine& e) {
             EXPECT_EQ(DataOf(a).rfind(GbkOf(L"管理员添加成功"), 0), 0u) << DataOf(a);
             EXPECT_EQ(SettingValue(e, "admins"), "1");
         }},
        {"setinfo", "<setoff>1</setoff><istemp>1</istemp><softpass>wrong</softpass>", false,
         [](const std::string& a, const StandinEngine& e) {
             EXPECT_EQ(DataOf(a), GbkOf(L"授权码错误"));
             EXPECT_EQ(CacheValue(e, "unusual"), "");
         }},
        {"setinfo", "<setoff>1</setoff><istemp>1</istemp><softpass>Code-42</softpass>", true,
         [](const std::string& a, const StandinEngine& e) {
             EXPECT_EQ(DataOf(a), GbkOf(L"系统已临时关闭"));
             EXPECT_EQ(CacheValue(e, "unusual"), "1");
         }},
        {"setinfo", "<seton>1</seton>", true,
         [](const std::string& a, const StandinEngine& e) {
             EXPECT_EQ(DataOf(a), GbkOf(L"系统已开启"));
             EXPECT_EQ(CacheValue(e, "unusual"), "");
         }},
        {"setinfo", "<onlylocal>1</onlylocal>", true,
         [](const std::string& a, const StandinEngine& e) {
             EXPECT_EQ(DataOf(a), GbkOf(L"访问设置修改成功"));
             EXPECT_EQ(SettingValue(e, "onlylocal"), "1");
         }},
        {"setinfo", "<update>1</update>", true, nullptr},
        {"setport", "<port>70000</port>", false,
         [](const std::string& a, const StandinEngine&) { EXPECT_EQ(DataOf(a), GbkOf(L"端口号错误")); }},
        {"setport", "<port>7001</port>", true,
         [](const std::string& a, const StandinEngine&) { EXPECT_EQ(DataOf(a), GbkOf(L"端口修改成功")); }},
        {"getport", "", true, [](const std::string& a, const StandinEngine&) { EXPECT_EQ(FieldOf(a, "port"), "7001"); }},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(std::string(c.word) + " " + c.parameters);
        std::string answer;
        EXPECT_EQ(channel.SendEngineCommand(c.word, c.parameters, answer), c.succeeds) << answer;
        EXPECT_EQ(TextBetween(answer, "<status>", "</status>"), c.succeeds ? "1" : "0");
        if (c.check) c.check(answer, engine);
        EXPECT_FALSE(FileExists(engine.Folder() + "config\\_panel.db")) << "the client removes the answer file";
    }
}

TEST(EngineCommands, GetauthStatusZeroWhenAnUninstallNeedsNoCode) {
    StandinEngine engine;
    ASSERT_TRUE(engine.WriteSettings("[standin]\r\nuninstallcode=0\r\n"));
    ASSERT_TRUE(engine.Start());
    CEngineChannel channel(engine.Folder());
    std::string answer;
    EXPECT_FALSE(channel.SendEngineCommand("getauth", "", answer));
    EXPECT_EQ(TextBetween(answer, "<status>", "</status>"), "0");
}

TEST(StandinEngineState, CacheIniAndTheSiteFollowTheSettings) {
    StandinEngine engine;
    ASSERT_TRUE(WriteFileBytes(engine.Folder() + "http\\index.html", "<html>site of the test</html>"));
    ASSERT_TRUE(engine.WriteSettings("[standin]\r\nport=7002\r\n"));
    ASSERT_TRUE(engine.Start());
    EXPECT_TRUE(WaitFor([&] { return CacheValue(engine, "curr_version") == "1.1.0"; }, std::chrono::seconds(5)));
    EXPECT_EQ(CacheValue(engine, "unusual"), "");
    EXPECT_TRUE(WaitFor([] { return HttpGet(7002) == "<html>site of the test</html>"; }, std::chrono::seconds(10)));

    // A test sets up a situation by writing the settings; the engine follows.
    ASSERT_TRUE(engine.WriteSettings("[standin]\r\nport=7003\r\nversion=1.2.0\r\non=0\r\n"));
    EXPECT_TRUE(WaitFor([&] { return CacheValue(engine, "curr_version") == "1.2.0"; }, std::chrono::seconds(5)));
    EXPECT_EQ(CacheValue(engine, "unusual"), "1");
    EXPECT_TRUE(WaitFor([] { return !HttpGet(7003).empty(); }, std::chrono::seconds(10)));

    // A restart keeps the state.
    ASSERT_TRUE(engine.Stop());
    ASSERT_TRUE(engine.Start());
    CEngineChannel channel(engine.Folder());
    std::string answer;
    EXPECT_TRUE(channel.SendEngineCommand("getport", "", answer));
    EXPECT_EQ(FieldOf(answer, "port"), "7003");
}

TEST(StandinEngineState, CrashSwitchReportsAStopWithAnErrorAndEndsTheProcess) {
    StandinEngine engine;
    ASSERT_TRUE(engine.Start());
    ASSERT_TRUE(engine.WriteSettings("[test]\r\ncrash=1\r\n"));
    ASSERT_TRUE(WaitFor([&] { return engine.State() == SERVICE_STOPPED; }, std::chrono::seconds(10)));
    EXPECT_EQ(engine.ExitCode(), static_cast<DWORD>(ERROR_PROCESS_ABORTED));
    EXPECT_TRUE(WaitFor([] { return !IsEngineProcessRunning(); }, std::chrono::seconds(5)));
    // "1" fails once: a restarted engine runs again.
    ASSERT_TRUE(engine.Start());
    CEngineChannel channel(engine.Folder());
    std::string answer;
    EXPECT_TRUE(channel.SendEngineCommand("geturl", "", answer));
}

}  // namespace
