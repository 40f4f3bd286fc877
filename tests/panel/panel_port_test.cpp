// Changing the management site's port through the real panel: the tray item fetches
// the port from the engine stand-in, the dialog checks what was typed, and the new
// port is sent back; the stand-in records every request it receives.
#include <gtest/gtest.h>

#include "panel_driver.h"
#include "support/test_support.h"

using namespace panel_testing;
using testing_support::WaitFor;

namespace {
const wchar_t kDialogTitle[] = L"Orm·防入侵集群系统 - 更改端口";
const wchar_t kInputError[] = L"端口号输入错误，请输入正确且未被占用的端口号！";
const int kPortEdit = 1001, kClose = 1024, kMessageText = 1028;

std::string Settings(const std::string& port, const std::string& testSwitches = "") {
    return "[standin]\r\nport=" + port + "\r\n[test]\r\n" + testSwitches;
}

HWND OpenPortDialog(PanelScene& scene) {
    if (!ChooseTrayEntry(scene, kChangePort)) return nullptr;
    return WaitDialogWithText(scene.ProcessId(), kDialogTitle);
}

}  // namespace

// Every rejected input leaves the dialog open with the text as typed.
TEST(PanelPort, RejectsInputsOutsideOneTo65535AndKeepsTheDialogOpen) {
    PanelScene scene;
    StartEngineAndResidentPanel(scene, Settings("6689"));
    HWND dialog = OpenPortDialog(scene);
    ASSERT_NE(dialog, nullptr);
    HWND edit = ::GetDlgItem(dialog, kPortEdit);
    EXPECT_EQ(ChildText(dialog, kPortEdit), L"6689");
    RECT r = WindowRect(dialog);
    EXPECT_EQ(r.right - r.left, 482);
    EXPECT_EQ(r.bottom - r.top, 338);
    SaveSettledScreenshot(dialog, "panel_port");
    for (const wchar_t* input : {L"0", L"-1", L"65536", L"abc", L"", L"99999999999"}) {
        SCOPED_TRACE(testing::Message() << "input of " << std::wstring(input).size() << " characters");
        ReplaceText(edit, input);
        ASSERT_TRUE(WaitFor([&] { return ChildText(dialog, kPortEdit) == input; }, 5s));
        ClickControl(dialog, IDOK);
        ExpectMessage(scene, L"Orm", kInputError, 2, std::wstring(input) == L"abc" ? "panel_port_input_error" : nullptr);
        EXPECT_TRUE(::IsWindowVisible(dialog));
        EXPECT_EQ(ChildText(dialog, kPortEdit), input);
    }
    ClickControl(dialog, kClose);
    ASSERT_TRUE(WaitWindowGone(dialog));
    EXPECT_EQ(RecordedRequests(scene), "<cmd>getport</cmd>\r\n");
}

// The number is what is sent, written plainly; the engine's words are shown.
TEST(PanelPort, SendsTheNumberWithoutLeadingZerosOrTrailingText) {
    struct Case {
        const wchar_t* typed;
        const char* sent;
    };
    const Case cases[] = {{L"8080", "8080"}, {L"08080", "8080"}, {L"8080abc", "8080"}, {L"65535", "65535"},
                          {L"1", "1"}};
    PanelScene scene;
    StartEngineAndResidentPanel(scene, Settings("6689"));
    bool first = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sent);
        ASSERT_TRUE(scene.Engine().WriteSettings(Settings("6689")));
        ForgetRecordedRequests(scene);
        HWND dialog = OpenPortDialog(scene);
        ASSERT_NE(dialog, nullptr);
        ReplaceText(::GetDlgItem(dialog, kPortEdit), c.typed);
        ASSERT_TRUE(WaitFor([&] { return ChildText(dialog, kPortEdit) == c.typed; }, 5s));
        PressKey(::GetDlgItem(dialog, kPortEdit), VK_RETURN);
        ExpectMessage(scene, L"Orm", L"端口修改成功", 1, first ? "panel_port_changed" : nullptr);
        EXPECT_EQ(RecordedRequests(scene), std::string("<cmd>getport</cmd>\r\n<cmd>setport</cmd><port>") + c.sent +
                                       "</port>\r\n");
        first = false;
    }
}

// The port in use, also typed with a leading zero, is not sent again; Cancel and the
// close button send nothing either.
TEST(PanelPort, SamePortOrCancelSendsNothing) {
    PanelScene scene;
    StartEngineAndResidentPanel(scene, Settings("6689"));
    for (const wchar_t* typed : {L"6689", L"06689"}) {
        HWND dialog = OpenPortDialog(scene);
        ASSERT_NE(dialog, nullptr);
        ReplaceText(::GetDlgItem(dialog, kPortEdit), typed);
        ASSERT_TRUE(WaitFor([&] { return ChildText(dialog, kPortEdit) == typed; }, 5s));
        ClickControl(dialog, IDOK);
        ExpectMessage(scene, L"Orm", L"相同端口无需更改！", 1, "panel_port_same");
    }
    for (int leaveBy : {IDCANCEL, kClose}) {
        HWND dialog = OpenPortDialog(scene);
        ASSERT_NE(dialog, nullptr);
        ReplaceText(::GetDlgItem(dialog, kPortEdit), L"8080");
        ClickControl(dialog, leaveBy);
        ASSERT_TRUE(WaitWindowGone(dialog));
    }
    std::string fetches;
    for (int i = 0; i < 4; ++i) fetches += "<cmd>getport</cmd>\r\n";
    EXPECT_EQ(RecordedRequests(scene), fetches);
}

// A port the engine reports that no site can have stops before the dialog; so do
// refusals of the engine, whose words are shown.
TEST(PanelPort, UnusableOrRefusedAnswersStopWithAnError) {
    struct Case {
        const char* port;
        const char* refuse;
        const wchar_t* message;
        bool dialogOpens;
    };
    const Case cases[] = {
        {"0", "", L"获取端口号错误！", false},
        {"65536", "", L"获取端口号错误！", false},
        {"", "", L"获取端口号错误！", false},
        {"6689", "getport", L"操作未完成", false},
        {"6689", "setport", L"操作未完成", true},
    };
    PanelScene scene;
    StartEngineAndResidentPanel(scene, Settings("6689"));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("port=") + c.port + " refuse=" + c.refuse);
        ASSERT_TRUE(scene.Engine().WriteSettings(Settings(c.port, std::string("refuse=") + c.refuse + "\r\n")));
        ASSERT_TRUE(ChooseTrayEntry(scene, kChangePort));
        if (c.dialogOpens) {
            HWND dialog = WaitDialogWithText(scene.ProcessId(), kDialogTitle);
            ASSERT_NE(dialog, nullptr);
            ReplaceText(::GetDlgItem(dialog, kPortEdit), L"8080");
            ASSERT_TRUE(WaitFor([&] { return ChildText(dialog, kPortEdit) == L"8080"; }, 5s));
            ClickControl(dialog, IDOK);
        }
        ExpectMessage(scene, L"错误", c.message, 2, c.dialogOpens ? "panel_port_refused" : nullptr);
        EXPECT_EQ(FindDialogWithText(scene.ProcessId(), kDialogTitle), nullptr);
    }
    EXPECT_EQ(StandinSetting(scene, "port"), "6689");
}
