// The main job's look at a new installation: the real installer driven through its
// windows into C:\ormvex4071\, then what stands afterwards as the user sees it: the
// panel in the tray with its icon and menu, and the information dialog. Prints one
// line per finding (GBK) and saves the screenshots the job lists.
#include <gtest/gtest.h>

#include <cstdio>

#include "channel/engine_channel.h"
#include "foundation/text.h"
#include "installer/setup_driver.h"
#include "lifecycle_driver.h"
#include "panel/panel_driver.h"
#include "support/test_support.h"

using namespace lifecycle_testing;
using panel_testing::WaitDialogWithText;
using testing_support::WaitFor;

namespace {

const wchar_t kFolder[] = L"C:\\ormvex4071\\";
const wchar_t kInformationTitle[] = L"Orm·防入侵集群系统 - 基本信息";
const int kVersionField = 1016, kLocalAddressField = 1008, kOuterAddressField = 1009, kFolderField = 1022;
const int kInformationClose = 1024;
// The panel's first state check comes about 2 s after its start, then every 2.5 s.
constexpr auto kTrayStateLimit = 15s;
const char* const kColourNames[] = {"green (engine on)", "grey (engine turned off)", "red (engine abnormal)"};

std::string Gbk(const std::wstring& text) { return setup_testing::Gbk(text); }

}  // namespace

TEST(MainJob, NewInstallationThroughTheWindows) {
    ASSERT_TRUE(UseShellDesktop()) << "no desktop with a notification area";

    // 1. The installer, through its windows.
    InstallSeen seen;
    InstallThroughTheWindows(kFolder, "", &seen);
    ASSERT_FALSE(HasFatalFailure());
    std::printf("installer: asked \"%s\", answered OK\n", Gbk(seen.question).c_str());
    std::printf("installer: success dialog shows %s\n", seen.shownAddress.c_str());
    EXPECT_TRUE(seen.installerEnded) << "the installer did not end after its success dialog closed";

    // 2. The management address, as the engine itself reports it.
    CEngineChannel channel(Gbk(kFolder));
    std::string answer;
    ASSERT_TRUE(channel.SendEngineCommand("geturl", "", answer)) << answer;
    const std::string local = TextBetween(answer, "<localurl>", "</localurl>");
    std::printf("engine: management address %s\n", local.c_str());
    if (seen.shownAddress == local)
        std::printf("installer: no public address was found, so the dialog shows the local one\n");
    else
        std::printf("installer: public address %s\n", seen.shownAddress.c_str());
    EXPECT_TRUE(seen.shownAddress == local || seen.shownAddress.find("://localhost") == std::string::npos);

    // 3. The panel the installer started, resident in the tray, its icon showing the engine's state.
    const DWORD panel = WaitSinglePanel();
    ASSERT_NE(panel, 0u) << "no single OrmVexPanel.exe process";
    ASSERT_TRUE(panel_testing::WaitPanelResident(panel)) << "the panel did not settle in the tray";
    int colour = -1;
    WaitFor([&] { return (colour = panel_testing::TrayIconState()) == 0; }, kTrayStateLimit);
    std::printf("panel: process %lu resident in the tray, icon %s\n", panel,
                colour >= 0 ? kColourNames[colour] : "not found");
    EXPECT_EQ(colour, 0);
    if (HWND tray = ::FindWindowW(L"Shell_TrayWnd", nullptr)) testing_support::SaveScreenshot(tray, "taskbar");

    // 4. Its tray menu, then the information dialog from it.
    HWND menu = panel_testing::OpenPanelTrayMenu(panel);
    ASSERT_NE(menu, nullptr) << "the tray menu did not open";
    testing_support::SaveScreenshot(menu, "tray_menu");
    panel_testing::ChooseTrayMenuEntry(menu, panel_testing::kShowInfo);
    HWND information = WaitDialogWithText(panel, kInformationTitle);
    ASSERT_NE(information, nullptr) << "the information dialog did not open";
    using panel_testing::ChildText;
    WaitFor([&] { return !ChildText(information, kLocalAddressField).empty(); }, 5s);
    std::printf("panel: information dialog: version %s, local address %s, public address %s, folder %s\n",
                Gbk(ChildText(information, kVersionField)).c_str(),
                Gbk(ChildText(information, kLocalAddressField)).c_str(),
                ChildText(information, kOuterAddressField).empty()
                    ? "(none)"
                    : Gbk(ChildText(information, kOuterAddressField)).c_str(),
                Gbk(ChildText(information, kFolderField)).c_str());
    EXPECT_EQ(Gbk(ChildText(information, kFolderField)), Gbk(kFolder));
    testing_support::SaveScreenshot(information, "information_dialog");
    Click(information, kInformationClose);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(information); }, 10s));
}
