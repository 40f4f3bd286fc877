#include "panel/system_switch.h"

#include <string>

#include "foundation/text.h"
#include "panel/dialog_add_user.h"
#include "panel/dialog_msg.h"
#include "panel/ormvex_panel_dlg.h"
#include "panel/panel_message.h"
#include "panel/panel_values.h"

void TurnSystemOn(COrmVexPanelDlg& window) {
    // 1.
    std::string answer;
    bool done = window.SendEngineCommand("setinfo", "<seton>1</seton>", answer);
    // 2. and 3. The whole answer, so that an engine that is not running says so.
    if (done)
        ShowPanelMessage(CDialogMsg::kInformation, false, L"成功", L"系统开启成功");
    else
        ShowPanelMessage(CDialogMsg::kError, false, L"错误", CStringUtil().MultiToWide(answer));
}

void TurnSystemOffTemporarily(COrmVexPanelDlg& window) {
    // 1.
    if (ShowPanelMessage(CDialogMsg::kQuestion, true, L"Orm", L"您将临时关闭软件，接下来将进行身份验证，继续吗？") !=
        IDOK)
        return;
    // 2. The code; the dialog lets no code shorter than two characters through.
    CDialogAddUser verification;
    if (verification.DoModal() != IDOK) return;
    // 3. The engine checks the code.
    std::string answer;
    bool done = window.SendEngineCommand(
        "setinfo", "<setoff>1</setoff><istemp>1</istemp><softpass>" + AuthCode + "</softpass>", answer);
    // 4.
    std::wstring text = CStringUtil().MultiToWide(TextBetween(answer, "<data>", "</data>"));
    if (done)
        ShowPanelMessage(CDialogMsg::kInformation, false, L"操作完成", text);
    else
        ShowPanelMessage(CDialogMsg::kError, false, L"错误", text);
}
