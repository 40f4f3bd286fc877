// The authorization-code dialog and the add-administrator flow of the real panel,
// with the engine stand-in judging the code: typed with keyboard messages, clicked.
#include <gtest/gtest.h>

#include "channel/channel_test_support.h"
#include "panel_driver.h"
#include "support/test_support.h"

using namespace panel_testing;
using testing_support::ReadFileText;
using testing_support::WaitFor;

namespace {
constexpr auto kDialogLimit = 15s;
const int kCodeField = 1002, kClose = 1024, kMessageText = 1028;
const wchar_t kCodeTitle[] = L"Orm·防入侵集群系统 - 该操作需要验证授权码";
const int kGreen = 0, kRed = 2;  // message kind colours

HWND WaitDialogWithText(PanelScene& scene, const std::wstring& text) {
    HWND dialog = nullptr;
    WaitFor(
        [&] {
            dialog = FindDialogWithText(scene.ProcessId(), text);
            return dialog != nullptr;
        },
        kDialogLimit);
    return dialog;
}

// A resident panel beside a running stand-in, its code dialog opened from the tray.
HWND OpenCodeDialog(PanelScene& scene) {
    if (!scene.Engine().Start()) return nullptr;
    scene.Start("autorun");
    if (!scene.WaitResident()) return nullptr;
    HWND menu = scene.OpenTrayMenu();
    if (!menu) return nullptr;
    scene.ChooseMenuEntry(menu, kAddAdmin);
    return WaitDialogWithText(scene, kCodeTitle);
}

std::wstring FieldText(HWND dialog) { return ChildText(dialog, kCodeField); }

bool TypeCode(HWND dialog, const std::wstring& code) {
    TypeText(::GetDlgItem(dialog, kCodeField), code);
    return WaitFor([&] { return FieldText(dialog) == code; }, kDialogLimit);
}

// Requests that reached the stand-in, one per line.
std::string Requests(PanelScene& scene) { return ReadFileText(scene.ConfigFile("standin_requests.txt")); }
}  // namespace

struct ShortCode {
    const char* name;
    const wchar_t* code;
};

class PanelCodeTooShort : public ::testing::TestWithParam<ShortCode> {};

TEST_P(PanelCodeTooShort, KeepsTheDialogOpenWithTheInputMessage) {
    PanelScene scene;
    HWND dialog = OpenCodeDialog(scene);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(TypeCode(dialog, GetParam().code));
    ::PostMessageW(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    HWND message = WaitDialogWithText(scene, L"授权密码输入错误！");
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(ChildText(message, 1000), L"Orm");
    EXPECT_TRUE(WaitFor([&] { return MessageKindColour(message) == kRed; }, kDialogLimit));
    SaveScreenshot(message, std::string("add_user_too_short_") + GetParam().name);
    ::PostMessageW(::GetDlgItem(message, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(message); }, kDialogLimit));
    // Still open, still holding what was typed, and nothing went to the engine.
    EXPECT_TRUE(::IsWindowVisible(dialog));
    EXPECT_EQ(FieldText(dialog), GetParam().code);
    EXPECT_EQ(Requests(scene).find("adduser"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Codes, PanelCodeTooShort,
                         ::testing::Values(ShortCode{"empty", L""}, ShortCode{"one_character", L"x"},
                                           ShortCode{"one_chinese_character", L"码"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PanelCodeDialog, ShowsStarsForTheTypedCodeInItsFrame) {
    PanelScene scene;
    HWND dialog = OpenCodeDialog(scene);
    ASSERT_NE(dialog, nullptr);
    RECT r = WindowRect(dialog);
    EXPECT_EQ(r.right - r.left, 482);
    EXPECT_EQ(r.bottom - r.top, 330);
    HWND field = ::GetDlgItem(dialog, kCodeField);
    ASSERT_TRUE(TypeCode(dialog, L"ormvex2026"));
    EXPECT_EQ(::SendMessageW(field, EM_GETPASSWORDCHAR, 0, 0), L'*');
    EXPECT_TRUE(::GetWindowLongW(field, GWL_STYLE) & ES_PASSWORD);
    // The field lies on the box of the background picture (134,186 to 415,216).
    RECT f = WindowRect(field);
    EXPECT_NEAR(f.left - r.left, 138, 2);
    EXPECT_NEAR(f.top - r.top, 189, 2);
    EXPECT_NEAR(f.right - r.left, 412, 2);
    SaveScreenshot(dialog, "add_user_code_typed");
}

struct CancelRoute {
    const char* name;
    int control;  // 0: the Escape key
};

class PanelAddUserCancelled : public ::testing::TestWithParam<CancelRoute> {};

TEST_P(PanelAddUserCancelled, SendsNoCommand) {
    PanelScene scene;
    HWND dialog = OpenCodeDialog(scene);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(TypeCode(dialog, L"ormvex2026"));
    if (GetParam().control)
        ::PostMessageW(::GetDlgItem(dialog, GetParam().control), BM_CLICK, 0, 0);
    else
        ::PostMessageW(::GetDlgItem(dialog, kCodeField), WM_KEYDOWN, VK_ESCAPE, 1);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }, kDialogLimit));
    // A later request shows that the channel works and that nothing came before it.
    HWND menu = scene.OpenTrayMenu();
    ASSERT_NE(menu, nullptr);
    scene.ChooseMenuEntry(menu, kShowInfo);
    ASSERT_TRUE(WaitFor([&] { return Requests(scene).find("showme") != std::string::npos; }, kDialogLimit));
    EXPECT_EQ(Requests(scene).find("adduser"), std::string::npos) << Requests(scene);
    EXPECT_TRUE(scene.IsRunning());
}

INSTANTIATE_TEST_SUITE_P(Routes, PanelAddUserCancelled,
                         ::testing::Values(CancelRoute{"cancel_button", IDCANCEL}, CancelRoute{"close_button", kClose},
                                           CancelRoute{"escape_key", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

struct EngineVerdict {
    const char* name;
    const wchar_t* code;
    const wchar_t* title;
    const wchar_t* text;
    int colour;
};

class PanelAddUserAnswer : public ::testing::TestWithParam<EngineVerdict> {};

TEST_P(PanelAddUserAnswer, ShowsTheEnginesReply) {
    const EngineVerdict& v = GetParam();
    PanelScene scene;
    HWND dialog = OpenCodeDialog(scene);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(TypeCode(dialog, v.code));
    ::PostMessageW(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    HWND message = WaitDialogWithText(scene, v.title);
    ASSERT_NE(message, nullptr);
    EXPECT_FALSE(::IsWindow(dialog));
    EXPECT_EQ(ChildText(message, kMessageText), v.text);
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(message, IDCANCEL)));
    EXPECT_TRUE(WaitFor([&] { return MessageKindColour(message) == v.colour; }, kDialogLimit));
    SaveScreenshot(message, std::string("add_user_answer_") + v.name);
    // The code went out as typed, in the system code page.
    std::string sent = "<softpass>" + testing_support::GbkOf(v.code) + "</softpass>";
    EXPECT_NE(Requests(scene).find("<cmd>adduser</cmd>" + sent), std::string::npos) << Requests(scene);
    ::PostMessageW(::GetDlgItem(message, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(message); }, kDialogLimit));
    EXPECT_TRUE(scene.IsRunning());
}

INSTANTIATE_TEST_SUITE_P(
    Verdicts, PanelAddUserAnswer,
    ::testing::Values(EngineVerdict{"right_code", L"ormvex2026", L"添加成功", L"管理员添加成功，账号：orm_admin1", kGreen},
                      EngineVerdict{"wrong_code", L"ormvex2025", L"错误", L"授权码错误", kRed},
                      EngineVerdict{"two_characters_reach_the_engine", L"ab", L"错误", L"授权码错误", kRed},
                      EngineVerdict{"code_differing_in_case", L"ORMVEX2026", L"错误", L"授权码错误", kRed}),
    [](const auto& info) { return std::string(info.param.name); });
