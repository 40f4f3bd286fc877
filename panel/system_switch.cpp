#include "panel/system_switch.h"

#include <string>

#include "foundation/text.h"
#include "panel/dialog_msg.h"
#include "panel/ormvex_panel_dlg.h"
#include "panel/panel_message.h"

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
