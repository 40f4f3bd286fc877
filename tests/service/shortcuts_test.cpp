// Shortcuts written through the shell's link object and read back through it, and
// the autostart value in the machine's Run key.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "foundation/com_ptr.h"
#include "foundation/hardware.h"
#include "foundation/scramble.h"
#include "foundation/text.h"
#include "foundation/unique_handle.h"
#include "service/service_test_support.h"
#include "support/test_support.h"

using namespace service_testing;
using testing_support::FileExists;
using testing_support::FolderExists;

namespace {

using LinkFields = testing_support::ShellLinkFields;
bool ReadLink(const std::string& linkPath, LinkFields& fields) { return testing_support::ReadShellLink(linkPath, fields); }

std::string CommonPrograms() {
    wchar_t path[MAX_PATH] = {};
    ::SHGetSpecialFolderPathW(nullptr, path, CSIDL_COMMON_PROGRAMS, FALSE);
    return CStringUtil().WideToMulti(path);
}

const std::string kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

}  // namespace

TEST(Shortcuts, CreateShortcutWritesItsFieldsAndTheLinkDriveRootAsWorkingFolder) {
    testing_support::ScratchFolder scratch;
    const std::string target = scratch / "prog\\OrmVexPanel.exe";
    ::CreateDirectoryA((scratch / "prog").c_str(), nullptr);
    ASSERT_TRUE(testing_support::WriteFileBytes(target, "MZ"));
    struct Case {
        const char* label;
        std::string icon;
        std::string arguments;
        std::wstring expectedIcon;
    };
    const Case cases[] = {
        {"icon file and arguments", target, "uninstall", GbkToWide(target)},
        {"icon is a folder", scratch / "prog", "", L""},
        {"icon missing", scratch / "none.ico", "", L""},
        {"no icon", "", "", L""},
    };
    CHardware hardware;
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const std::string link = scratch / (ToGbk(L"打开[防入侵]托盘") + std::to_string(++n) + ".lnk");
        EXPECT_EQ(hardware.CreateShortcut(link, target, c.icon, c.arguments, ToGbk(L"打开[防入侵]托盘")), 1);
        LinkFields fields;
        ASSERT_TRUE(ReadLink(link, fields));
        EXPECT_EQ(fields.target, GbkToWide(target));
        EXPECT_EQ(fields.arguments, GbkToWide(c.arguments));
        EXPECT_EQ(fields.description, L"打开[防入侵]托盘");
        EXPECT_EQ(fields.icon, c.expectedIcon);
        if (!c.expectedIcon.empty()) {
            EXPECT_EQ(fields.iconIndex, 0);
        }
        EXPECT_EQ(fields.workingFolder, GbkToWide(link.substr(0, 3)));
    }
    EXPECT_EQ(hardware.CreateShortcut("C:", target, target, "", "x"), 0);
    EXPECT_FALSE(FileExists("C:"));
}

TEST(Shortcuts, DesktopShortcutUsesFallbackIconAndIsDeletedAgain) {
    CHardware hardware;
    const std::string desktop = hardware.GetDesktopFolder();
    ASSERT_FALSE(desktop.empty());
    EXPECT_EQ(desktop.back(), '\\');
    EXPECT_EQ(desktop.find("\\\\"), std::string::npos);
    ASSERT_TRUE(FolderExists(desktop));

    const std::string title = ToGbk(L"防入侵集群系统");
    const std::string link = desktop + title + ".lnk";
    ASSERT_TRUE(testing_support::WriteFileBytes(link, "stale"));
    hardware.CreateDesktopShortcut("C:\\OrmVex\\OrmVexPanel.exe", "C:\\OrmVex\\missing.ico", title);
    LinkFields fields;
    ASSERT_TRUE(ReadLink(link, fields));
    EXPECT_EQ(fields.target, L"C:\\OrmVex\\OrmVexPanel.exe");
    EXPECT_EQ(fields.arguments, L"");
    EXPECT_EQ(fields.description, L"防入侵集群系统");
    EXPECT_EQ(fields.icon, GbkToWide(Unscrambled(scrambled::kFallbackShortcutFile)));
    hardware.DeleteDesktopShortcut(title);
    EXPECT_FALSE(FileExists(link));
}

// The tray link is made as "打开[...]托盘"; an uninstall removes it and so the group.
TEST(Shortcuts, StartMenuShortcutsAreCreatedAndAllRemovedWithTheirGroup) {
    CHardware hardware;
    const std::string install = std::string(kInstallFolder);
    ::CreateDirectoryA(install.c_str(), nullptr);
    const std::string panel = install + "OrmVexPanel.exe";
    ASSERT_TRUE(testing_support::WriteFileBytes(panel, "MZ"));
    const std::string name = ToGbk(L"防入侵集群系统");
    const std::string outer = CommonPrograms() + ToGbk(L"\\Orm软件");
    const std::string group = outer + ToGbk(L"\\防入侵集群系统\\");

    const std::string site = install + "site.url";
    ASSERT_TRUE(testing_support::WriteFileBytes(site, "[InternetShortcut]"));
    hardware.CreateStartMenuShortcuts(install, site, name);
    struct Expected {
        std::string link;
        std::wstring target, icon, arguments, description;
    };
    const std::wstring panelWide = GbkToWide(panel);
    const Expected expected[] = {
        {group + ToGbk(L"打开[防入侵集群系统]托盘.lnk"), panelWide, panelWide, L"", L"打开[防入侵集群系统]托盘"},
        {group + ToGbk(L"打开[防入侵集群系统]面板.lnk"), GbkToWide(site), panelWide, L"",
         L"打开[防入侵集群系统]面板"},
        // The shell keeps the quoted target without its quotes.
        {install + "uninstall.lnk", panelWide, panelWide, L"uninstall", L"卸载防入侵集群系统"},
        {group + ToGbk(L"卸载[防入侵集群系统].lnk"), GbkToWide(install + "uninstall.lnk"),
         GbkToWide(install + "uninstall.lnk"), L"", L"卸载[防入侵集群系统]"},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.link);
        LinkFields fields;
        ASSERT_TRUE(ReadLink(e.link, fields));
        EXPECT_EQ(fields.target, e.target);
        EXPECT_EQ(fields.icon, e.icon);
        EXPECT_EQ(fields.arguments, e.arguments);
        EXPECT_EQ(fields.description, e.description);
    }

    // An older installation's "显示[...]托盘" link goes too.
    const std::string older = group + ToGbk(L"显示[防入侵集群系统]托盘.lnk");
    ASSERT_TRUE(testing_support::WriteFileBytes(older, "old"));
    EXPECT_EQ(hardware.DeleteStartMenuShortcuts(name), 1);
    for (const Expected& e : {expected[0], expected[1], expected[3]}) EXPECT_FALSE(FileExists(e.link)) << e.link;
    EXPECT_FALSE(FileExists(older));
    EXPECT_FALSE(FolderExists(group));
    EXPECT_TRUE(FolderExists(outer)) << "the maker's folder stays";
    EXPECT_TRUE(FileExists(install + "uninstall.lnk")) << "goes with the installation folder";
}

TEST(Shortcuts, StartMenuGroupWithForeignFilesStays) {
    CHardware hardware;
    const std::string group = CommonPrograms() + ToGbk(L"\\Orm软件\\防入侵集群系统\\");
    ASSERT_TRUE(::SHCreateDirectoryExA(nullptr, group.c_str(), nullptr) == ERROR_SUCCESS);
    ASSERT_TRUE(testing_support::WriteFileBytes(group + "readme.txt", "x"));
    EXPECT_EQ(hardware.DeleteStartMenuShortcuts("x"), 1);
    EXPECT_TRUE(FileExists(group + "readme.txt"));
}

TEST(Autostart, ValueIsQuotedPanelPathWithAutorunAndIsOverwritten) {
    CHardware hardware;
    const std::string first = ToGbk(L"C:\\防入侵\\OrmVexPanel.exe");
    EXPECT_EQ(hardware.SetAutorun("C:\\old\\OrmVexPanel.exe", "OrmVexPanel", AutorunFlavour::Panel), "");
    EXPECT_EQ(hardware.SetAutorun(first, "OrmVexPanel", AutorunFlavour::Installer), "");
    DWORD type = 0;
    std::string data;
    ASSERT_TRUE(ReadRegistryValue(kRunKey, "OrmVexPanel", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data, "\"" + first + "\" -autorun" + '\0');

    EXPECT_EQ(hardware.RemoveAutorun("OrmVexPanel"), 1);
    EXPECT_FALSE(ReadRegistryValue(kRunKey, "OrmVexPanel", type, data));
    EXPECT_EQ(hardware.RemoveAutorun("OrmVexPanel"), 0) << "a missing value";
}

TEST(Autostart, MissingRunKeyGivesEachProgramsOpenErrorAndWritesNothing) {
    ASSERT_EQ(::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kRunKey.c_str()), ERROR_SUCCESS);
    CHardware hardware;
    EXPECT_EQ(hardware.SetAutorun("C:\\p.exe", "OrmVexPanel", AutorunFlavour::Panel), ToGbk(L"RegOpen失败：2"));
    EXPECT_EQ(hardware.SetAutorun("C:\\p.exe", "OrmVexPanel", AutorunFlavour::Installer),
              ToGbk(L"RegOpenKey失败：2"));
    UniqueHKey key;
    EXPECT_NE(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey.c_str(), 0, KEY_READ, key.put()), ERROR_SUCCESS)
        << "the key is not created";
}
