// The start-up and install-button rules on their own: font sizes from the screen
// width, the command word, the path refusals and the product folder.
#include <gtest/gtest.h>

#include <regex>

#include "foundation/text.h"
#include "installer/install_checks.h"
#include "installer/install_mode.h"
#include "installer/setup_values.h"
#include "support/test_support.h"

TEST(SetupFonts, SizesFollowTheScreenWidth) {
    struct Case {
        int width, title, version, body;
    } cases[] = {{1024, 122, 114, 94}, {1920, 122, 114, 94}, {1921, 95, 89, 73}, {2560, 72, 67, 55}, {3840, 48, 44, 36}};
    for (const Case& c : cases) {
        EXPECT_EQ(TitleFontTenths(c.width), c.title) << c.width;
        EXPECT_EQ(VersionFontTenths(c.width), c.version) << c.width;
        EXPECT_EQ(BodyFontTenths(c.width), c.body) << c.width;
    }
}

TEST(SetupCommandLine, OnlyTheSecondPieceCounts) {
    struct Case {
        const char* line;
        bool update;
    } cases[] = {{"C:\\setup\\OrmVexInstall.exe update", true},
                 {"C:\\setup\\OrmVexInstall.exe UPDATE", true},
                 {"C:\\setup\\OrmVexInstall.exe   Update  ", true},
                 {"C:\\setup\\OrmVexInstall.exe update now", true},
                 {"C:\\setup\\OrmVexInstall.exe now update", false},
                 {"C:\\setup\\OrmVexInstall.exe updates", false},
                 {"C:\\setup\\OrmVexInstall.exe", false},
                 {"\"C:\\my setup\\OrmVexInstall.exe\" update", false}};
    for (const Case& c : cases) EXPECT_EQ(IsUpdateCommandLine(c.line), c.update) << c.line;
}

TEST(SetupPathRules, RefusalsInTheirOrder) {
    const std::string again = ToGbk(L"，请重新选择。");
    struct Case {
        std::string path;
        std::wstring refusal;  // empty: accepted
    } cases[] = {
        {"E:\\", L""},
        {"E:\\ormvexdata\\", L""},
        {ToGbk(L"C:\\安装 目录"), L"暂不用支持安装到中文路径："},
        {"C:/ormvex", L"路径格式不正确："},
        {"CD:\\ormvex", L"路径格式不正确："},
        {"ormvex\\here", L"路径格式不正确："},
        {"\\\\server\\share", L"路径格式不正确："},
        {"C:\\my ormvex", L"安装路径不能含有空格："},
    };
    for (const Case& c : cases) {
        const std::string expected = c.refusal.empty() ? std::string() : ToGbk(c.refusal) + c.path + again;
        EXPECT_EQ(PathRefusal(c.path), expected) << c.path;
    }
}

TEST(SetupPathRules, ProductFolderIsAddedToPathsWithoutIt) {
    const std::regex appended(R"(E:\\ormvex[0-9]{4}\\)");
    EXPECT_TRUE(std::regex_match(WithProductFolder("E:\\"), appended)) << WithProductFolder("E:\\");
    EXPECT_TRUE(std::regex_match(WithProductFolder("E:"), appended)) << WithProductFolder("E:");
    EXPECT_EQ(WithProductFolder("E:\\ormvexdata\\"), "E:\\ormvexdata\\");
    // The test is case-sensitive, and doubled backslashes are cleaned only on appending.
    EXPECT_TRUE(std::regex_match(WithProductFolder("E:\\ORMVEX\\"), std::regex(R"(E:\\ORMVEX\\ormvex[0-9]{4}\\)")));
    EXPECT_EQ(WithProductFolder("E:\\\\ormvex"), "E:\\\\ormvex");
    EXPECT_TRUE(std::regex_match(WithProductFolder("E:\\\\data"), std::regex(R"(E:\\data\\ormvex[0-9]{4}\\)")));
}

TEST(SetupPathRules, DefaultPathOnADrive) {
    const std::string first = InstallPathOnDrive('D');
    EXPECT_TRUE(std::regex_match(first, std::regex(R"(D:\\ormtech\.local\\ormvex[0-9]{4}\\)"))) << first;
}

TEST(SetupEarlierInstallation, EngineProgramMovedAsideStillCounts) {
    struct Case {
        const char* files[2];
        bool there;
    } cases[] = {
        {{"ormvex.exe", nullptr}, true},
        {{"ormvex.exe.del", nullptr}, true},  // an upgrade ended between moving aside and copying in
        {{"ormvex.exe", "ormvex.exe.del"}, true},
        {{"ormvexd.exe", "ormvex.exe.1700000000.del"}, false},
        {{nullptr, nullptr}, false},
    };
    for (const Case& c : cases) {
        testing_support::ScratchFolder dir;
        for (const char* file : c.files) {
            if (file) {
                ASSERT_TRUE(testing_support::WriteFileBytes(dir / file, "MZ"));
            }
        }
        EXPECT_EQ(EngineProgramThere(dir.Path()), c.there) << (c.files[0] ? c.files[0] : "(none)");
    }
}

TEST(SetupLinks, PagesOnTheMakersSiteOverHttps) {
    EXPECT_EQ(MakerPageAddress(kProductPagePath), std::string("https://") + ORMVEX_MAKER_SITE + "/soft/vex/");
    EXPECT_EQ(MakerPageAddress(kAgreementPagePath), std::string("https://") + ORMVEX_MAKER_SITE + "/document/xuke.html");
}
