// The tray icon shows the engine's state; the menu's system entries name it; the
// management site opens from the menu; a waiting request holds the state checks.
#include <gtest/gtest.h>

#include "panel_driver.h"
#include "support/test_support.h"

using namespace panel_testing;
using testing_support::WaitFor;

namespace {
// The first state check comes about 2 s after start, then every 2.5 s.
constexpr auto kStateLimit = 15s;
constexpr auto kDialogLimit = 15s;
enum IconColour { kGreen = 0, kGrey = 1, kRed = 2 };
}  // namespace

struct StateCase {
    const char* name;
    const char* settings;  // the stand-in's state; null: the engine is stopped
    int colour;
    const wchar_t* turnOn;
    const wchar_t* turnOff;
};

class PanelTrayState : public ::testing::TestWithParam<StateCase> {};

TEST_P(PanelTrayState, IconFollowsTheEngineState) {
    const StateCase& c = GetParam();
    PanelScene scene;
    if (c.settings) {
        ASSERT_TRUE(scene.Engine().WriteSettings(c.settings));
        ASSERT_TRUE(scene.Engine().Start());
    }
    scene.Start("autorun");
    ASSERT_TRUE(scene.WaitResident());
    EXPECT_TRUE(WaitFor([&] { return TrayIconState() == c.colour; }, kStateLimit)) << TrayIconState();
    HWND menu = scene.OpenTrayMenu();
    ASSERT_NE(menu, nullptr);
    SaveScreenshot(menu, std::string("panel_tray_menu_") + c.name);
    std::vector<std::wstring> expected = {L"打开面板", L"访问设置", L"-", L"查看信息", c.turnOn, c.turnOff,
                                          L"添加管理员", L"更改端口", L"修复软件", L"-", L"退出托盘(&Q)"};
    EXPECT_EQ(OpenMenuTexts(scene.ProcessId(), scene.Folder()), expected);
    HWND tray = ::FindWindowW(L"Shell_TrayWnd", nullptr);
    if (tray) SaveScreenshot(tray, std::string("panel_tray_icon_") + c.name);
    ::PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
}

INSTANTIATE_TEST_SUITE_P(
    States, PanelTrayState,
    ::testing::Values(
        StateCase{"unusual_empty", "[standin]\r\non=1\r\n", kGreen, L"开启系统（已开启）", L"关闭系统"},
        StateCase{"unusual_1", "[standin]\r\non=0\r\n", kGrey, L"开启系统", L"关闭系统（已关闭）"},
        StateCase{"unusual_other", "[standin]\r\nunusual=2\r\n", kRed, L"开启系统（有异常）", L"关闭系统（有异常）"},
        StateCase{"engine_stopped", nullptr, kRed, L"开启系统（有异常）", L"关闭系统（有异常）"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PanelTray, StateChecksWaitWhileARequestWaits) {
    PanelScene scene;
    // Answers come after the client stopped waiting: every request waits its full 4 s.
    ASSERT_TRUE(scene.Engine().WriteSettings("[standin]\r\non=1\r\n[test]\r\nanswer=never\r\n"));
    ASSERT_TRUE(scene.Engine().Start());
    scene.Start("autorun");
    ASSERT_TRUE(scene.WaitResident());
    ASSERT_TRUE(WaitFor([&] { return TrayIconState() == kGreen; }, kStateLimit));
    HWND menu = scene.OpenTrayMenu();
    ASSERT_NE(menu, nullptr);
    scene.ChooseMenuEntry(menu, kShowInfo);
    // While "showme" waits, the engine goes away; no check may notice it until the wait ends.
    auto asked = std::chrono::steady_clock::now();
    ASSERT_TRUE(scene.Engine().Stop());
    bool changedEarly = WaitFor(
        [&] { return TrayIconState() == kRed; },
        std::chrono::milliseconds(3000) -
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - asked));
    EXPECT_FALSE(changedEarly);
    EXPECT_TRUE(WaitFor([&] { return TrayIconState() == kRed; }, kStateLimit));
}

TEST(PanelTray, OpenPanelOpensTheManagementSite) {
    PanelScene scene;
    ASSERT_TRUE(scene.Engine().WriteSettings("[standin]\r\nport=7001\r\n"));
    ASSERT_TRUE(scene.Engine().Start());
    ASSERT_TRUE(RegisterAddressRecorder(scene.Folder()));
    scene.Start("autorun");
    ASSERT_TRUE(scene.WaitResident());
    HWND menu = scene.OpenTrayMenu();
    ASSERT_NE(menu, nullptr);
    scene.ChooseMenuEntry(menu, kOpenSite);
    EXPECT_EQ(WaitOpenedAddress(), "http://localhost:7001");
}

TEST(PanelTray, FailedRequestShowsTheEnginesTextAsAnError) {
    PanelScene scene;
    ASSERT_TRUE(scene.Engine().WriteSettings("[standin]\r\n[test]\r\nstatus=0\r\n"));
    ASSERT_TRUE(scene.Engine().Start());
    scene.Start("autorun");
    ASSERT_TRUE(scene.WaitResident());
    HWND menu = scene.OpenTrayMenu();
    ASSERT_NE(menu, nullptr);
    scene.ChooseMenuEntry(menu, kOpenSite);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] {
            dialog = FindDialogWithText(scene.ProcessId(), L"错误");
            return dialog != nullptr;
        },
        kDialogLimit));
    EXPECT_EQ(ChildText(dialog, 1028), L"<localurl>http://localhost:6689</localurl>");
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dialog, IDCANCEL)));
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(dialog, IDOK)));
    EXPECT_TRUE(WaitFor([&] { return MessageKindColour(dialog) == kRed; }, kDialogLimit)) << MessageKindColour(dialog);
    SaveScreenshot(dialog, "panel_message_error");
    ::PostMessageW(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }, kDialogLimit));
    EXPECT_TRUE(scene.IsRunning());
}
