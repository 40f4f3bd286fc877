#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "foundation/text.h"
#include "installer/payload_archive.h"
#include "support/test_support.h"

namespace {

using testing_support::FileExists;
using testing_support::FolderExists;
using testing_support::ReadFileText;
using testing_support::ScratchFolder;

std::string Fixture(const std::string& name) { return testing_support::TestProgramFolder() + "fixtures\\" + name; }

TEST(SanitizeMemberName, NothingLeavesTheBaseFolder) {
    struct Case {
        const char *name, *expected;
    } cases[] = {
        {"ormvex.exe", "ormvex.exe"},
        {"http/img/logo.png", "http\\img\\logo.png"},
        {"C:\\evil.txt", "evil.txt"},
        {"c:evil.txt", "evil.txt"},
        {"/abs/x.txt", "abs\\x.txt"},
        {"\\\\server\\share\\x", "server\\share\\x"},
        {"..\\..\\x.txt", "x.txt"},
        {"../x.txt", "x.txt"},
        {"a/../../b/x.txt", "b\\x.txt"},
        {"a/..\\b/./x.txt", "b\\x.txt"},
        {"a\\../b", "b"},
        {"a/b/..", ""},
        {"..", ""},
        {"dir/", "dir"},
        {"a..b/c", "a..b\\c"},
    };
    for (const Case& c : cases) EXPECT_EQ(SanitizeMemberName(c.name), c.expected) << c.name;
}

class UnpackArchives : public ::testing::TestWithParam<const char*> {};

TEST_P(UnpackArchives, ArchivesOfInfoZip) {
    ScratchFolder dir;
    const UnpackResult result = UnpackArchive(Fixture(GetParam()), dir.Path());
    ASSERT_TRUE(result.opened);
    EXPECT_EQ(result.filesWritten, 3u);
    EXPECT_EQ(result.membersSkipped, 0u);
    EXPECT_EQ(ReadFileText(dir / "http\\index.html"), "<html>index</html>\n");
    std::string logo;
    for (int i = 0; i < 300; ++i)
        for (int b = 0; b < 256; ++b) logo += static_cast<char>(b);
    EXPECT_EQ(ReadFileText(dir / "http\\img\\logo.bin"), logo);
    EXPECT_EQ(ReadFileText(dir / "ReadMe.txt").size(), 8u * 500);
    EXPECT_TRUE(FolderExists(dir / "recycle"));  // an empty folder is kept
}
INSTANTIATE_TEST_SUITE_P(StoredAndDeflated, UnpackArchives,
                         ::testing::Values("infozip_stored.zip", "infozip_deflated.zip"));

TEST(UnpackArchive, HostileNamesLandBelowTheBaseFolder) {
    ScratchFolder outer;
    const std::string base = outer / "a\\b\\stage\\";
    ::CreateDirectoryA((outer / "a").c_str(), nullptr);
    ::CreateDirectoryA((outer / "a\\b").c_str(), nullptr);
    ::CreateDirectoryA(base.c_str(), nullptr);
    const UnpackResult result = UnpackArchive(Fixture("python_names.zip"), base);
    ASSERT_TRUE(result.opened);
    EXPECT_EQ(result.filesWritten, 7u);
    EXPECT_EQ(result.membersSkipped, 0u);
    EXPECT_EQ(ReadFileText(base + "evil1.txt"), "1");
    EXPECT_EQ(ReadFileText(base + "abs\\evil2.txt"), "2");
    EXPECT_EQ(ReadFileText(base + "evil3.txt"), "3");
    EXPECT_EQ(ReadFileText(base + "evil4.txt"), "4");
    EXPECT_EQ(ReadFileText(base + "evil5.txt"), "5");
    EXPECT_EQ(ReadFileText(base + "ok\\dir\\file.txt"), "inside");
    EXPECT_EQ(ReadFileText(base + ToGbk(L"配置.txt")), "utf8 name");
    for (const char* outside : {"evil3.txt", "evil4.txt", "evil5.txt"}) {
        EXPECT_FALSE(FileExists(outer / "a\\b\\" + outside));
        EXPECT_FALSE(FileExists(outer / "a\\" + outside));
    }
    EXPECT_FALSE(FileExists("C:\\evil1.txt"));
}

TEST(UnpackArchive, KeepsTheRecordedTimeAndOverwrites) {
    ScratchFolder dir;
    ::CreateDirectoryA((dir / "ok").c_str(), nullptr);
    ::CreateDirectoryA((dir / "ok\\dir").c_str(), nullptr);
    testing_support::WriteFileBytes(dir / "ok\\dir\\file.txt", "old and longer content");
    ::SetFileAttributesA((dir / "ok\\dir\\file.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(UnpackArchive(Fixture("python_names.zip"), dir.Path()).opened);
    EXPECT_EQ(ReadFileText(dir / "ok\\dir\\file.txt"), "inside");
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(::GetFileAttributesExA((dir / "ok\\dir\\file.txt").c_str(), GetFileExInfoStandard, &data));
    FILETIME local{};
    SYSTEMTIME time{};
    ::FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
    ::FileTimeToSystemTime(&local, &time);
    EXPECT_EQ(time.wYear, 2020);
    EXPECT_EQ(time.wMonth, 5);
    EXPECT_EQ(time.wDay, 17);
    EXPECT_EQ(time.wHour, 10);
    EXPECT_EQ(time.wMinute, 30);
}

TEST(UnpackArchive, DamagedOrMissingArchiveFails) {
    ScratchFolder dir;
    EXPECT_FALSE(UnpackArchive(Fixture("damaged.zip"), dir.Path()).opened);
    EXPECT_FALSE(UnpackArchive(Fixture("missing.zip"), dir.Path()).opened);
    EXPECT_FALSE(UnpackArchive(Fixture("infozip_stored.zip"), dir / "no-such-folder").opened);
}

}  // namespace
