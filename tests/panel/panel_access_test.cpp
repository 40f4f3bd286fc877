// The access settings of the real panel: the tray item fetches the addresses and the
// local-only restriction from the engine stand-in, shows them in the dialog and sends
// the restriction back; the stand-in records every request it receives.
#include <gtest/gtest.h>

#include "panel_driver.h"
#include "support/test_support.h"

using namespace panel_testing;
using testing_support::ReadFileText;
using testing_support::WaitFor;

namespace {
const wchar_t kDialogTitle[] = L"Orm·防入侵集群系统 - 访问设置";
const wchar_t kQuestionText[] =
    L"确定开启只允许本机访问选项吗？\r\n开启后将无法通过其他IP访问防入侵集群系统，更加安全！";
const int kOnlyLocal = 1006, kLocalUrl = 1008, kOuterUrl = 1009, kCopyLocal = 1010, kCopyOuter = 1011;
const int kFeedback = 1012, kClose = 1024, kMessageText = 1028;
const char kOpenedFile[] = "C:\\opened_address.txt";

std::string Settings(const std::string& onlyLocal, const std::string& testSwitches = "") {
    return "[standin]\r\nouterurl=http://203.0.113.7:6689\r\nonlylocal=" + onlyLocal + "\r\n[test]\r\n" +
           testSwitches;
}

HWND OpenAccessDialog(PanelScene& scene) {
    if (!ChooseTrayEntry(scene, kAccess)) return nullptr;
    return WaitDialogWithText(scene.ProcessId(), kDialogTitle);
}

bool Ticked(HWND dialog) { return ::SendMessageW(::GetDlgItem(dialog, kOnlyLocal), BM_GETCHECK, 0, 0) == BST_CHECKED; }

}  // namespace

// Each stored value opens the dialog once; every way of leaving it without OK sends
// nothing back.
TEST(PanelAccess, TicksTheBoxOnlyForOneAndSendsNothingWhenLeftWithoutOk) {
    struct Case {
        const char* onlyLocal;
        bool ticked;
        int leaveBy;  // a control id, or 0 for the Escape key
    };
    const Case cases[] = {{"1", true, IDCANCEL}, {"", false, kClose}, {"0", false, 0}, {"11", false, IDCANCEL}};
    PanelScene scene;
    StartEngineAndResidentPanel(scene, Settings("1"));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("onlylocal=") + c.onlyLocal);
        ASSERT_TRUE(scene.Engine().WriteSettings(Settings(c.onlyLocal)));
        HWND dialog = OpenAccessDialog(scene);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(Ticked(dialog), c.ticked);
        EXPECT_EQ(ChildText(dialog, kLocalUrl), L"http://localhost:6689");
        EXPECT_EQ(ChildText(dialog, kOuterUrl), L"http://203.0.113.7:6689");
        EXPECT_EQ(ChildText(dialog, kFeedback), L"");
        RECT r = WindowRect(dialog);
        EXPECT_EQ(r.right - r.left, 617);
        EXPECT_EQ(r.bottom - r.top, 442);
        if (c.ticked) SaveSettledScreenshot(dialog, "panel_access_settings");
        if (c.leaveBy)
            ClickControl(dialog, c.leaveBy);
        else
            PressKey(::GetDlgItem(dialog, kOnlyLocal), VK_ESCAPE);
        ASSERT_TRUE(WaitWindowGone(dialog));
    }
    std::string fourFetches;
    for (int i = 0; i < 4; ++i) fourFetches += "<cmd>getinfo</cmd>\r\n";
    EXPECT_EQ(RecordedRequests(scene), fourFetches);
    EXPECT_TRUE(scene.IsRunning());
}

// OK with the box ticked asks first, even when nothing was changed; Cancel there
// keeps the dialog as it was, OK sends "1".
TEST(PanelAccess, TickedBoxAsksBeforeItSendsOne) {
    PanelScene scene;
    StartEngineAndResidentPanel(scene, Settings("0"));
    HWND dialog = OpenAccessDialog(scene);
    ASSERT_NE(dialog, nullptr);
    ASSERT_FALSE(Ticked(dialog));
    ClickControl(dialog, kOnlyLocal);
    ASSERT_TRUE(WaitFor([&] { return Ticked(dialog); }, 5s));
    for (int answer : {IDCANCEL, IDOK}) {
        SCOPED_TRACE(answer == IDOK ? "question answered OK" : "question answered Cancel");
        ClickControl(dialog, IDOK);
        HWND question = WaitDialogWithText(scene.ProcessId(), L"Orm·防入侵集群系统");
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(ChildText(question, kMessageText), kQuestionText);
        EXPECT_EQ(MessageKindColour(question), 3);
        EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(question, IDCANCEL)));
        if (answer == IDCANCEL) SaveSettledScreenshot(question, "panel_access_question");
        ClickControl(question, answer);
        ASSERT_TRUE(WaitWindowGone(question));
        if (answer == IDCANCEL) {
            EXPECT_TRUE(::IsWindowVisible(dialog));
            EXPECT_TRUE(Ticked(dialog));
            EXPECT_EQ(RecordedRequests(scene), "<cmd>getinfo</cmd>\r\n");
        }
    }
    ExpectMessage(scene, L"修改成功", L"访问设置修改成功", 1, "panel_access_changed");
    EXPECT_EQ(RecordedRequests(scene), "<cmd>getinfo</cmd>\r\n<cmd>setinfo</cmd><onlylocal>1</onlylocal>\r\n");
    EXPECT_EQ(StandinSetting(scene, "onlylocal"), "1");
}

TEST(PanelAccess, RemovingTheTickSendsZeroWithoutAQuestion) {
    PanelScene scene;
    StartEngineAndResidentPanel(scene, Settings("1"));
    HWND dialog = OpenAccessDialog(scene);
    ASSERT_NE(dialog, nullptr);
    ClickControl(dialog, kOnlyLocal);
    ASSERT_TRUE(WaitFor([&] { return !Ticked(dialog); }, 5s));
    ClickControl(dialog, IDOK);
    ASSERT_NE(WaitDialogWithText(scene.ProcessId(), L"修改成功"), nullptr);
    EXPECT_EQ(FindDialogWithText(scene.ProcessId(), L"Orm·防入侵集群系统"), nullptr);
    ExpectMessage(scene, L"修改成功", L"访问设置修改成功", 1);
    EXPECT_EQ(RecordedRequests(scene), "<cmd>getinfo</cmd>\r\n<cmd>setinfo</cmd><onlylocal>0</onlylocal>\r\n");
    EXPECT_EQ(StandinSetting(scene, "onlylocal"), "0");
}

// The engine's own words are shown as the error; when "getinfo" fails the dialog does
// not open, when "setinfo" fails the restriction stays.
TEST(PanelAccess, EngineRefusalsAreShownAsErrors) {
    struct Case {
        const char* refuse;
        bool dialogOpens;
        const char* requests;
    };
    const Case cases[] = {
        {"getinfo", false, "<cmd>getinfo</cmd>\r\n"},
        {"setinfo", true, "<cmd>getinfo</cmd>\r\n<cmd>setinfo</cmd><onlylocal>0</onlylocal>\r\n"},
    };
    PanelScene scene;
    StartEngineAndResidentPanel(scene, Settings("1"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.refuse);
        ForgetRecordedRequests(scene);
        ASSERT_TRUE(scene.Engine().WriteSettings(Settings("1", std::string("refuse=") + c.refuse + "\r\n")));
        ASSERT_TRUE(ChooseTrayEntry(scene, kAccess));
        if (c.dialogOpens) {
            HWND dialog = WaitDialogWithText(scene.ProcessId(), kDialogTitle);
            ASSERT_NE(dialog, nullptr);
            ClickControl(dialog, kOnlyLocal);
            ASSERT_TRUE(WaitFor([&] { return !Ticked(dialog); }, 5s));
            ClickControl(dialog, IDOK);
        }
        ExpectMessage(scene, L"错误", L"操作未完成", 2, c.dialogOpens ? nullptr : "panel_access_refused");
        EXPECT_EQ(FindDialogWithText(scene.ProcessId(), kDialogTitle), nullptr);
        EXPECT_EQ(RecordedRequests(scene), c.requests);
        EXPECT_EQ(StandinSetting(scene, "onlylocal"), "1");
    }
}

// Each copy button puts exactly its address on the clipboard and says so; a click on
// an address opens it.
TEST(PanelAccess, CopyButtonsCopyTheirAddressAndAddressesOpen) {
    PanelScene scene;
    StartEngineAndResidentPanel(scene, Settings("0"));
    ASSERT_TRUE(RegisterAddressRecorder(scene.Folder()));
    HWND dialog = OpenAccessDialog(scene);
    ASSERT_NE(dialog, nullptr);
    // Wine lets the panel open the clipboard even while another process holds it,
    // so only the successful copy can be shown here.
    ClearClipboard();
    ClickControl(dialog, kCopyOuter);
    EXPECT_TRUE(WaitFor([&] { return ClipboardText() == "http://203.0.113.7:6689"; }, 5s)) << ClipboardText();
    EXPECT_TRUE(WaitFor([&] { return ChildText(dialog, kFeedback) == L"复制成功"; }, 5s));
    ClickControl(dialog, kCopyLocal);
    EXPECT_TRUE(WaitFor([&] { return ClipboardText() == "http://localhost:6689"; }, 5s)) << ClipboardText();
    SaveSettledScreenshot(dialog, "panel_access_copied");
    ClickControl(dialog, kOuterUrl);
    ASSERT_TRUE(WaitFor([&] { return testing_support::FileExists(kOpenedFile); }, 15s));
    EXPECT_EQ(ReadFileText(kOpenedFile), "http://203.0.113.7:6689");
    EXPECT_TRUE(::IsWindowVisible(dialog));
}
