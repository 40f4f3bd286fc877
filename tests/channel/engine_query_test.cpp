// The one-shot queries run the engine program itself, with or without its service.
#include <gtest/gtest.h>

#include "channel/channel_test_support.h"
#include "channel/engine_channel.h"
#include "channel/engine_query.h"
#include "foundation/aes.h"
#include "foundation/text.h"
#include "support/test_support.h"

namespace {

using namespace testing_support;

bool TempFolderIsEmpty(const StandinEngine& engine) {
    WIN32_FIND_DATAA found{};
    HANDLE find = ::FindFirstFileA((engine.Folder() + "temp\\*.tmp").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return true;
    ::FindClose(find);
    return false;
}

struct QueryCase {
    const char* name;
    bool serviceRuns;
    const char* settings;
    const char* expectedInner;  // opened <orm> content
};

TEST(EngineQueries, GetUninstallInfoWithAndWithoutTheService) {
    const QueryCase cases[] = {
        {"service stopped, code needed", false, "[standin]\r\nauthcode=Code-42\r\n",
         "<id>standin-0001</id><pass>Code-42</pass><confirm>1</confirm>"},
        {"service running, no code", true, "[standin]\r\nuninstallcode=0\r\n",
         "<id></id><pass>ormvex2026</pass><confirm>1</confirm>"},
    };
    for (const QueryCase& c : cases) {
        SCOPED_TRACE(c.name);
        StandinEngine engine;
        ASSERT_TRUE(engine.WriteSettings(c.settings));
        if (c.serviceRuns) {
            ASSERT_TRUE(engine.Start());
        }
        CEngineChannel channel(engine.Folder());
        const std::string answer = RunEngineQuery("getuninstallinfo", engine.Folder());
        ASSERT_EQ(answer.rfind("<orm>", 0), 0u) << answer;
        EXPECT_EQ(CAesText(channel.ChannelKeyText()).OpenText(TextBetween(answer, "<orm>", "</orm>")),
                  c.expectedInner);
        EXPECT_TRUE(TempFolderIsEmpty(engine)) << "a query's answer file is removed once read";
        if (c.serviceRuns) {
            ASSERT_TRUE(engine.Stop());
        }
    }
}

TEST(EngineQueries, GetEntryLocalUrlAfterInstallWithTheServiceStopped) {
    StandinEngine engine;
    EXPECT_EQ(RunProgram("\"" + engine.Program() + "\" install abcd1234", std::chrono::seconds(30)), 0);
    EXPECT_EQ(RunEngineQuery("getentrylocalurl", engine.Folder()), "<entry>http://localhost:6689/abcd1234</entry>");
    EXPECT_TRUE(TempFolderIsEmpty(engine));
    EXPECT_EQ(CacheValue(engine, "curr_version"), "1.1.0");
}

TEST(EngineQueries, MissingProgramGivesAnEmptyAnswer) {
    ScratchFolder folder;
    EXPECT_EQ(RunEngineQuery("getentrylocalurl", folder.Path()), "");
}

TEST(EngineQueries, StandinRefusesBadEntriesAndAnswerNamesOutsideItsTempFolder) {
    StandinEngine engine;
    const std::string program = "\"" + engine.Program() + "\" ";
    for (const char* arguments : {"install ABCD1234", "install abc", "install abcd12345", "getentrylocalurl ..\\x.tmp",
                                  "getuninstallinfo C:\\x.tmp", "getentrylocalurl ../x.tmp"}) {
        SCOPED_TRACE(arguments);
        EXPECT_NE(RunProgram(program + arguments, std::chrono::seconds(30)), 0);
    }
    EXPECT_FALSE(FileExists(engine.Folder() + "x.tmp"));
    EXPECT_FALSE(FileExists("C:\\x.tmp"));
    EXPECT_EQ(SettingValue(engine, "entry"), "");
}

}  // namespace
