// Turning the system on, and off for a while, through the real panel's tray menu;
// the engine stand-in answers, records each request and keeps the on/off state.
#include <gtest/gtest.h>

#include "panel_driver.h"
#include "support/test_support.h"

using namespace panel_testing;
using testing_support::WaitFor;

TEST(PanelSwitch, TurningOnReportsSuccessAndTheEngineIsOn) {
    PanelScene scene;
    StartEngineAndResidentPanel(scene, "[standin]\r\non=0\r\n[test]\r\n");
    ASSERT_TRUE(ChooseTrayEntry(scene, kTurnOn));
    ExpectMessage(scene, L"成功", L"系统开启成功", 1, "panel_turn_on");
    EXPECT_EQ(RecordedRequests(scene), "<cmd>setinfo</cmd><seton>1</seton>\r\n");
    EXPECT_EQ(StandinSetting(scene, "on"), "1");
}

// The whole answer is the message, so an engine that is not running says so.
TEST(PanelSwitch, TurningOnShowsTheWholeAnswerWhenItFails) {
    PanelScene scene;
    StartEngineAndResidentPanel(scene, "[standin]\r\non=0\r\n[test]\r\nrefuse=setinfo\r\n");
    ASSERT_TRUE(ChooseTrayEntry(scene, kTurnOn));
    ExpectMessage(scene, L"错误", L"<status>0</status><data>操作未完成</data>", 2, "panel_turn_on_refused");
    EXPECT_EQ(StandinSetting(scene, "on"), "0");
    ASSERT_TRUE(scene.Engine().Stop());
    ASSERT_TRUE(ChooseTrayEntry(scene, kTurnOn));
    ExpectMessage(scene, L"错误", L"Orm·防入侵集群系统未运行", 2, "panel_turn_on_unreachable");
    EXPECT_EQ(RecordedRequests(scene), "<cmd>setinfo</cmd><seton>1</seton>\r\n");
}

namespace {
const wchar_t kOffQuestion[] = L"您将临时关闭软件，接下来将进行身份验证，继续吗？";
const wchar_t kCodeTitle[] = L"Orm·防入侵集群系统 - 该操作需要验证授权码";
const int kCodeField = 1002;

// No window of the panel shows the code in clear text.
bool CodeShownAnywhere(PanelScene& scene, const std::wstring& code) {
    for (HWND window : ProcessWindows(scene.ProcessId(), L"#32770", true))
        for (const std::wstring& text : ChildTexts(window))
            if (text.find(code) != std::wstring::npos) return true;
    return false;
}

// Answers the question with `answer`; the code dialog when it comes, else null.
HWND PassQuestion(PanelScene& scene, int answer, const char* screenshot = nullptr) {
    HWND question = WaitDialogWithText(scene.ProcessId(), kOffQuestion);
    EXPECT_NE(question, nullptr);
    if (!question) return nullptr;
    EXPECT_EQ(ChildText(question, 1000), L"Orm");
    EXPECT_EQ(MessageKindColour(question), 3);
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(question, IDCANCEL)));
    if (screenshot) SaveSettledScreenshot(question, screenshot);
    ClickControl(question, answer);
    EXPECT_TRUE(WaitWindowGone(question));
    if (answer != IDOK) return nullptr;
    return WaitDialogWithText(scene.ProcessId(), kCodeTitle);
}
}  // namespace

TEST(PanelSwitch, TurningOffAsksForTheCodeAndTheEngineAcceptsIt) {
    PanelScene scene;
    StartEngineAndResidentPanel(scene, "[standin]\r\nauthcode=ormvex2026\r\n");
    ASSERT_TRUE(ChooseTrayEntry(scene, kTurnOff));
    HWND code = PassQuestion(scene, IDOK, "panel_turn_off_question");
    ASSERT_NE(code, nullptr);
    HWND field = ::GetDlgItem(code, kCodeField);
    TypeText(field, L"ormvex2026");
    ASSERT_TRUE(WaitFor([&] { return ::SendMessageW(field, WM_GETTEXTLENGTH, 0, 0) == 10; }, 5s));
    EXPECT_EQ(::SendMessageW(field, EM_GETPASSWORDCHAR, 0, 0), L'*');
    SaveSettledScreenshot(code, "panel_turn_off_code");
    ClickControl(code, IDOK);
    HWND done = WaitDialogWithText(scene.ProcessId(), L"操作完成");
    ASSERT_NE(done, nullptr);
    EXPECT_FALSE(CodeShownAnywhere(scene, L"ormvex2026"));
    ExpectMessage(scene, L"操作完成", L"系统已临时关闭", 1, "panel_turn_off_done");
    EXPECT_EQ(RecordedRequests(scene),
              "<cmd>setinfo</cmd><setoff>1</setoff><istemp>1</istemp><softpass>ormvex2026</softpass>\r\n");
    EXPECT_EQ(StandinSetting(scene, "on"), "0");
}

// Cancel at either step sends nothing; a wrong code, and an engine that is not
// running, end in an error with the engine's words (none from a stopped engine).
TEST(PanelSwitch, TurningOffStopsAtCancelAndReportsRefusals) {
    struct Case {
        const char* label;
        int questionAnswer;
        const wchar_t* code;  // null: Cancel in the code dialog
        bool engineRuns;
        const wchar_t* error;  // null: no message expected
        const char* request;
    };
    const Case cases[] = {
        {"question cancelled", IDCANCEL, nullptr, true, nullptr, ""},
        {"code dialog cancelled", IDOK, nullptr, true, nullptr, ""},
        {"wrong code", IDOK, L"wrongcode", true, L"授权码错误",
         "<cmd>setinfo</cmd><setoff>1</setoff><istemp>1</istemp><softpass>wrongcode</softpass>\r\n"},
        {"engine stopped", IDOK, L"ormvex2026", false, L"", ""},
    };
    PanelScene scene;
    StartEngineAndResidentPanel(scene, "[standin]\r\nauthcode=ormvex2026\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ForgetRecordedRequests(scene);
        if (!c.engineRuns) {
            ASSERT_TRUE(scene.Engine().Stop());
        }
        ASSERT_TRUE(ChooseTrayEntry(scene, kTurnOff));
        HWND code = PassQuestion(scene, c.questionAnswer);
        if (c.questionAnswer == IDOK) {
            ASSERT_NE(code, nullptr);
            if (c.code) {
                TypeText(::GetDlgItem(code, kCodeField), c.code);
                ASSERT_TRUE(WaitFor(
                    [&] {
                        return ::SendMessageW(::GetDlgItem(code, kCodeField), WM_GETTEXTLENGTH, 0, 0) ==
                               static_cast<LRESULT>(std::wstring(c.code).size());
                    },
                    5s));
                ClickControl(code, IDOK);
            } else {
                ClickControl(code, IDCANCEL);
            }
            EXPECT_TRUE(WaitWindowGone(code));
        }
        if (c.error) {
            HWND error = WaitDialogWithText(scene.ProcessId(), L"错误");
            ASSERT_NE(error, nullptr);
            EXPECT_FALSE(CodeShownAnywhere(scene, c.code));
            ExpectMessage(scene, L"错误", c.error, 2, c.engineRuns ? "panel_turn_off_refused" : nullptr);
        }
        EXPECT_EQ(RecordedRequests(scene), c.request);
        EXPECT_EQ(StandinSetting(scene, "on"), "");
    }
}
