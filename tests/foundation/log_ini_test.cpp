#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "foundation/files.h"
#include "foundation/ini_reader.h"
#include "foundation/log.h"
#include "foundation/text.h"
#include "support/test_support.h"

namespace {

using testing_support::FolderExists;
using testing_support::ReadFileText;
using testing_support::ScratchFolder;
using testing_support::WriteFileBytes;

// "YYYY-MM-DD hh:mm:ss\t" + message + "\r\n"
void ExpectLogLine(const std::string& line, const std::string& message) {
    ASSERT_GE(line.size(), 22u) << line;
    EXPECT_EQ(line.substr(19, 1), "\t");
    EXPECT_EQ(line.substr(20), message + "\r\n");
    EXPECT_EQ(line.substr(0, 19).size(), NowStampText().size());
}

TEST(WriteUpdateLog, OneLinePerCallWithoutLineFeeds) {
    ScratchFolder dir;
    const std::string log = dir / "update.log";
    const std::string chinese = ToGbk(L"升级完成！");
    EXPECT_EQ(WriteUpdateLog("a\nb", log), 1);
    EXPECT_EQ(WriteUpdateLog(chinese, log), 1);
    const std::string text = ReadFileText(log);
    const size_t split = text.find("\r\n") + 2;
    ExpectLogLine(text.substr(0, split), "ab");
    ExpectLogLine(text.substr(split), chinese);
}

TEST(WriteUpdateLog, MissingFolderLosesTheLineAndCreatesNothing) {
    ScratchFolder dir;
    EXPECT_EQ(WriteUpdateLog("x", dir / "log\\update.log"), 0);
    EXPECT_FALSE(FolderExists(dir / "log"));
}

TEST(AppendLogLine, WatchdogFlavourCreatesItsFolderAndKeepsLineFeeds) {
    ScratchFolder dir;
    LogLineOptions watchdog;
    watchdog.createFolder = true;
    watchdog.removeLineFeeds = false;
    EXPECT_EQ(AppendLogLine(dir / "log\\ormipsd.log", "a\nb", watchdog), 1);
    const std::string text = ReadFileText(dir / "log\\ormipsd.log");
    EXPECT_EQ(text.substr(19), "\ta\r\nb\r\n");
}

TEST(CIniReader, ReadsWritesAndNormalizesThePath) {
    ScratchFolder dir;
    std::string forward = dir / "config/cache.ini";
    ::CreateDirectoryA((dir / "config").c_str(), nullptr);
    WriteFileBytes(dir / "config\\cache.ini", "[ORMVEX]\r\nunusual=1\r\ncurr_version=1.0.9\r\n");
    CIniReader ini;
    EXPECT_EQ(ini.SetFile(forward), 1);
    EXPECT_EQ(ini.File(), dir / "config\\cache.ini");
    EXPECT_EQ(ini.ReadString("unusual", "ORMVEX"), "1");
    EXPECT_EQ(ini.ReadString("UNUSUAL", "ormvex"), "1");
    EXPECT_EQ(ini.ReadString("missing", "ORMVEX"), "");
    EXPECT_EQ(ini.ReadString("unusual", ""), "");
    EXPECT_EQ(ini.ReadString("", "ORMVEX"), "");

    CIniReader record;
    record.SetFile(dir / "ormvex.db");
    record.WriteString(dir.Path(), "apppath", "ormvex");
    EXPECT_EQ(record.ReadString("apppath", "ormvex"), dir.Path());
    CIniReader missing;
    missing.SetFile(dir / "none.ini");
    EXPECT_EQ(missing.ReadString("k", "s"), "");
}

}  // namespace
