// Leaving the tray through the menu's quit entry and its confirmation dialog.
#include <gtest/gtest.h>

#include "panel_driver.h"
#include "support/test_support.h"

using namespace panel_testing;
using testing_support::WaitFor;

namespace {
constexpr auto kDialogLimit = 10s;
constexpr auto kExitLimit = 10s;
const int kCheckPicture = 1025;

HWND OpenQuitDialog(PanelScene& scene) {
    HWND menu = scene.OpenTrayMenu();
    if (!menu) return nullptr;
    scene.ChooseMenuEntry(menu, kQuit);
    HWND dialog = nullptr;
    WaitFor(
        [&] {
            dialog = FindDialogWithText(scene.ProcessId(), L"退出托盘确认");
            return dialog != nullptr;
        },
        kDialogLimit);
    return dialog;
}
}  // namespace

struct QuitCase {
    const char* name;
    bool tickBox;
    bool autorunKept;
};

class PanelQuit : public ::testing::TestWithParam<QuitCase> {};

TEST_P(PanelQuit, ConfirmedQuitEndsThePanel) {
    const QuitCase& c = GetParam();
    PanelScene scene;
    scene.Start("autorun");
    ASSERT_TRUE(scene.WaitResident());
    ASSERT_TRUE(AutorunValuePresent());
    HWND dialog = OpenQuitDialog(scene);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ChildText(dialog, 1022), L"以后不再显示托盘");
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(dialog, IDCANCEL)));
    const int kOrange = 3;  // the question icon
    EXPECT_TRUE(WaitFor([&] { return MessageKindColour(dialog) == kOrange; }, kDialogLimit));
    if (c.tickBox) {
        // The picture control shows another bitmap once the click was handled.
        HWND box = ::GetDlgItem(dialog, kCheckPicture);
        LRESULT before = ::SendMessageW(box, STM_GETIMAGE, IMAGE_BITMAP, 0);
        ClickControl(dialog, kCheckPicture);
        ASSERT_TRUE(WaitFor([&] { return ::SendMessageW(box, STM_GETIMAGE, IMAGE_BITMAP, 0) != before; }, kDialogLimit));
    }
    SaveScreenshot(dialog, std::string("panel_quit_") + c.name);
    ::PostMessageW(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    DWORD code = 99;
    ASSERT_TRUE(scene.WaitExit(0, kExitLimit, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(AutorunValuePresent(), c.autorunKept);
}

INSTANTIATE_TEST_SUITE_P(Box, PanelQuit,
                         ::testing::Values(QuitCase{"box_empty", false, true}, QuitCase{"box_ticked", true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PanelQuitDialog, CancelKeepsThePanelInTheTray) {
    PanelScene scene;
    scene.Start("autorun");
    ASSERT_TRUE(scene.WaitResident());
    HWND dialog = OpenQuitDialog(scene);
    ASSERT_NE(dialog, nullptr);
    ClickControl(dialog, kCheckPicture);
    ::PostMessageW(::GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }, kDialogLimit));
    EXPECT_TRUE(scene.IsRunning());
    EXPECT_TRUE(AutorunValuePresent());
    // Escape answers like Cancel.
    dialog = OpenQuitDialog(scene);
    ASSERT_NE(dialog, nullptr);
    ::PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }, kDialogLimit));
    EXPECT_TRUE(scene.IsRunning());
}
