// The information dialog of the real panel with the engine stand-in answering
// "showme": its fields, copy buttons, clickable addresses and its layout.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "panel_driver.h"
#include "support/test_support.h"

using namespace panel_testing;
using testing_support::FileExists;
using testing_support::ClearClipboard;
using testing_support::ClipboardText;
using testing_support::WaitFor;

namespace {
constexpr auto kDialogLimit = 15s;
const int kVersion = 1016, kOuterUrl = 1009, kLocalUrl = 1008, kFolder = 1022;
const int kCopyOuter = 1011, kCopyLocal = 1010, kCopyFolder = 1015, kClose = 1024;

HWND WaitInformation(PanelScene& scene) {
    HWND dialog = nullptr;
    WaitFor(
        [&] {
            dialog = FindDialogWithText(scene.ProcessId(), L"Orm·防入侵集群系统 - 基本信息");
            return dialog != nullptr;
        },
        kDialogLimit);
    return dialog;
}

const char kFullRecord[] =
    "[standin]\r\nversion=1.1.0\r\nouterurl=http://203.0.113.7:6689\r\nuser=admin\r\npass=secret\r\n";

// The stand-in with `record` and a panel started normally; the information dialog
// that the start opens, or null when it did not come.
HWND StartWithInformation(PanelScene& scene, const std::string& record) {
    EXPECT_TRUE(scene.Engine().WriteSettings(record));
    EXPECT_TRUE(scene.Engine().Start());
    scene.Start();
    return WaitInformation(scene);
}
}  // namespace

TEST(PanelInformation, ShowsTheRecordAfterANormalStart) {
    PanelScene scene;
    HWND dialog = StartWithInformation(scene, kFullRecord);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ChildText(dialog, kVersion), L"1.1.0");
    EXPECT_EQ(ChildText(dialog, kOuterUrl), L"http://203.0.113.7:6689");
    EXPECT_EQ(ChildText(dialog, kLocalUrl), L"http://localhost:6689");
    EXPECT_EQ(ChildText(dialog, kFolder), L"C:\\ormvex_test\\");
    for (int copy : {kCopyOuter, kCopyLocal, kCopyFolder}) EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(dialog, copy)));
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dialog, IDOK)));
    RECT r = WindowRect(dialog);
    EXPECT_EQ(r.right - r.left, 802);
    EXPECT_EQ(r.bottom - r.top, 510);
    SaveScreenshot(dialog, "panel_information");
    // The close button ends it; the panel stays in the tray.
    ::PostMessageW(::GetDlgItem(dialog, kClose), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }, kDialogLimit));
    EXPECT_TRUE(scene.IsRunning());
}

TEST(PanelInformation, MissingOuterAddressLeavesItsFieldEmptyAndHidesItsCopyButton) {
    PanelScene scene;
    ASSERT_TRUE(RegisterAddressRecorder(scene.Folder()));
    HWND dialog = StartWithInformation(scene, "[standin]\r\nversion=1.1.0\r\n");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ChildText(dialog, kOuterUrl), L"");
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dialog, kCopyOuter)));
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(dialog, kCopyLocal)));
    SaveScreenshot(dialog, "panel_information_no_outer_address");
    // A click on the empty field opens nothing; one on the local address opens it.
    ClickControl(dialog, kOuterUrl);
    ClickControl(dialog, kLocalUrl);
    EXPECT_EQ(WaitOpenedAddress(), "http://localhost:6689");
}

struct CopyCase {
    const char* name;
    int button;
    const char* expected;
};

class PanelInformationCopy : public ::testing::TestWithParam<CopyCase> {};

TEST_P(PanelInformationCopy, PutsExactlyTheTextOnTheClipboard) {
    const CopyCase& c = GetParam();
    PanelScene scene;
    HWND dialog = StartWithInformation(scene, kFullRecord);
    ASSERT_NE(dialog, nullptr);
    ClearClipboard();
    ::PostMessageW(::GetDlgItem(dialog, c.button), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return ClipboardText() == c.expected; }, kDialogLimit)) << ClipboardText();
}

INSTANTIATE_TEST_SUITE_P(Buttons, PanelInformationCopy,
                         ::testing::Values(CopyCase{"outer", kCopyOuter, "http://203.0.113.7:6689"},
                                           CopyCase{"local", kCopyLocal, "http://localhost:6689"},
                                           CopyCase{"folder", kCopyFolder, "C:\\ormvex_test\\"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PanelInformation, SecondStartShowsItInTheRunningPanel) {
    PanelScene scene;
    ASSERT_TRUE(scene.Engine().WriteSettings(kFullRecord));
    ASSERT_TRUE(scene.Engine().Start());
    scene.Start("autorun");
    ASSERT_TRUE(scene.WaitResident());
    EXPECT_EQ(FindDialogWithText(scene.ProcessId(), L"Orm·防入侵集群系统 - 基本信息"), nullptr);
    size_t second = scene.Start();
    DWORD code = 0;
    ASSERT_TRUE(scene.WaitExit(second, 15s, &code));
    EXPECT_EQ(code, 1u);
    auto handedOver = std::chrono::steady_clock::now();
    HWND dialog = WaitInformation(scene);
    ASSERT_NE(dialog, nullptr);
    auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - handedOver);
    // One pass of the status thread plus one exchange with the engine.
    EXPECT_LT(waited.count(), 1500) << "information dialog after " << waited.count() << " ms";
    std::printf("measured: second start ended to information dialog shown: %lld ms\n",
                static_cast<long long>(waited.count()));
}

static int OpenInformationDialogs(PanelScene& scene) {
    int open = 0;
    for (HWND window : ProcessWindows(scene.ProcessId(), L"#32770", true))
        for (const std::wstring& text : ChildTexts(window))
            if (text == L"Orm·防入侵集群系统 - 基本信息") ++open;
    return open;
}

TEST(PanelInformation, SignalWhileItIsOpenOpensNoSecondOne) {
    PanelScene scene;
    ASSERT_TRUE(scene.Engine().WriteSettings(kFullRecord));
    ASSERT_TRUE(scene.Engine().Start());
    scene.Start();
    ASSERT_NE(WaitInformation(scene), nullptr);
    ASSERT_TRUE(testing_support::WriteFileBytes(scene.ConfigFile("showpanel.txt"), "1\r\n"));
    ASSERT_TRUE(WaitFor([&] { return !FileExists(scene.ConfigFile("showpanel.txt")); }, kDialogLimit));
    // The status thread's next passes see no file and no second dialog appears.
    EXPECT_FALSE(WaitFor([&] { return OpenInformationDialogs(scene) > 1; }, 1500ms));
    EXPECT_EQ(OpenInformationDialogs(scene), 1);
}

// Where the layout rule puts each control of the 538 x 348 template in the 802 x 510 window.
struct Placement {
    int id;
    int x, y, width, height;  // dialog units of the template
};

void ExpectLayout(HWND dialog) {
    const Placement placements[] = {{1000, 31, 9, 319, 19},     {kVersion, 146, 64, 276, 16},
                                    {kOuterUrl, 146, 221, 276, 16}, {kCopyOuter, 428, 216, 61, 24},
                                    {kLocalUrl, 146, 260, 276, 16}, {kCopyLocal, 428, 255, 62, 24},
                                    {kFolder, 146, 300, 276, 16},   {kCopyFolder, 428, 294, 61, 24}};
    RECT window = WindowRect(dialog);
    for (const Placement& p : placements) {
        RECT r = WindowRect(::GetDlgItem(dialog, p.id));
        double left = p.x * 802.0 / 538, top = p.y * 510.0 / 348;
        double right = (p.x + p.width) * 802.0 / 538, bottom = (p.y + p.height) * 510.0 / 348;
        // Dialog units become whole pixels before the scaling: two pixels of rounding.
        EXPECT_NEAR(r.left - window.left, left, 2.5) << p.id;
        EXPECT_NEAR(r.top - window.top, top, 2.5) << p.id;
        EXPECT_NEAR(r.right - window.left, right, 2.5) << p.id;
        EXPECT_NEAR(r.bottom - window.top, bottom, 2.5) << p.id;
    }
    RECT close = WindowRect(::GetDlgItem(dialog, kClose));
    EXPECT_NEAR(close.left - window.left, 512 * 802.0 / 538, 2.5);
    EXPECT_EQ(close.right - close.left, 18);  // a quarter of the 72-pixel strip
    EXPECT_EQ(close.bottom - close.top, 18);
}

TEST(PanelInformation, ControlsSitWhereTheScalingPutsThem) {
    PanelScene scene;
    HWND dialog = StartWithInformation(scene, kFullRecord);
    ASSERT_NE(dialog, nullptr);
    ExpectLayout(dialog);
}

TEST(PanelInformation, ControlsSitInTheSamePlacesUnderALargerSystemFont) {
    // 144 dots per inch: the template's dialog units grow by half.
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                &key, nullptr),
              ERROR_SUCCESS);
    UniqueHKey desktop(key);
    DWORD dpi = 144;
    ::RegSetValueExA(desktop.get(), "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    PanelScene scene;
    HWND dialog = StartWithInformation(scene, kFullRecord);
    ASSERT_NE(dialog, nullptr);
    ExpectLayout(dialog);
    RECT r = WindowRect(dialog);
    HDC screen = ::GetDC(nullptr);
    // The green title band shows once the dialog has painted itself.
    WaitFor([&] { return ::GetPixel(screen, r.left + 400, r.top + 4) == RGB(0x52, 0xC4, 0x1A); }, kDialogLimit);
    ::ReleaseDC(nullptr, screen);
    SaveScreenshot(dialog, "panel_information_large_font");
}
