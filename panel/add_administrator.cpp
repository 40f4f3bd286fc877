#include "panel/add_administrator.h"

#include "panel/dialog_add_user.h"
#include "panel/dialog_msg.h"
#include "panel/ormvex_panel_dlg.h"
#include "panel/panel_values.h"

void AddAdministrator(COrmVexPanelDlg& window) {
    // 1. The code; anything but OK stops here.
    CDialogAddUser dialog;
    if (dialog.DoModal() != IDOK) return;
    // 2. The dialog lets no shorter code through; nothing goes out if one did.
    if (AuthCode.size() < CDialogAddUser::kShortestCode) return;
    // 3. The engine checks the code and creates the account.
    std::string answer;
    bool done = window.SendEngineCommand("adduser", "<softpass>" + AuthCode + "</softpass>", answer);
    std::wstring text = window.converter.MultiToWide(TextBetween(answer, "<data>", "</data>"));
    // 4. Its reply, as a success or an error.
    CDialogMsg message;
    if (done)
        message.SetMessage(CDialogMsg::kSuccess, false, L"添加成功", text);
    else
        message.SetMessage(CDialogMsg::kError, false, L"错误", text);
    message.DoModal();
}
