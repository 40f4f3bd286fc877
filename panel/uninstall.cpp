#include "panel/uninstall.h"

#include <windows.h>

#include "channel/engine_endpoint.h"
#include "channel/engine_query.h"
#include "foundation/aes.h"
#include "foundation/files.h"
#include "foundation/text.h"
#include "panel/dialog_add_user.h"
#include "panel/dialog_msg.h"
#include "panel/ormvex_panel_dlg.h"
#include "panel/panel_values.h"
#include "panel/remove_installation.h"

namespace {

// The engine needs a moment to let go of its files after the update notice.
const DWORD kAfterUpdateNoticeMs = 1000;

[[noreturn]] void EndUninstall() { ::ExitProcess(0); }

int Ask(int kind, bool showCancel, const std::wstring& title, const std::wstring& text) {
    CDialogMsg message;
    message.SetMessage(kind, showCancel, title, text);
    return static_cast<int>(message.DoModal());
}

[[noreturn]] void RefuseWith(const std::wstring& text) {
    Ask(CDialogMsg::kError, false, L"Orm", text);
    EndUninstall();
}

// Step 5: the engine's own uninstall answer decides whether a code is asked for.
// Returns only when the removal may go on.
void CheckUninstallAnswer(COrmVexPanelDlg& window, const std::string& folder) {
    const std::string content = RunEngineQuery("getuninstallinfo", folder);
    const std::string opened =
        CAesText(window.channel.ChannelKeyText()).OpenText(TextBetween(content, "<orm>", "</orm>"));
    const std::string id = TextBetween(opened, "<id>", "</id>");
    const std::string code = TextBetween(opened, "<pass>", "</pass>");
    const std::string confirm = TextBetween(opened, "<confirm>", "</confirm>");
    if (opened.find("</confirm>") == std::string::npos) RefuseWith(L"接收数据错误，请手动卸载！");
    if (id.empty()) return;
    if (confirm != "1") EndUninstall();
    CDialogAddUser verification;
    if (verification.DoModal() != IDOK) EndUninstall();
    if (AuthCode != code) RefuseWith(L"软件授权密码不匹配，验证失败！");
}

}  // namespace

void RunUninstall(COrmVexPanelDlg& window) {
    const std::string folder = ModuleFolder();
    const std::wstring wideFolder = window.converter.MultiToWide(folder);
    // 1. A folder without the product's name is not ours to empty.
    if (LowerCopy(folder).find("ormvex") == std::string::npos &&
        Ask(CDialogMsg::kQuestion, true, L"软件卸载", L"Orm·防入侵集群系统安装路径错误，请手动卸载！") != IDOK)
        EndUninstall();
    // 2. Confirmation.
    if (Ask(CDialogMsg::kQuestion, true, L"软件卸载",
            L"确定要卸载Orm·防入侵集群系统吗？\n卸载软件将删除安装目录[" + wideFolder +
                L"]下的所有文件！\n卸载后服务器可能会面临安全威胁，请谨慎操作！") != IDOK)
        EndUninstall();
    // 3. Without the engine program nobody can tell whether a code is needed.
    if (!PathIs(folder + "ormvex.exe", false)) RefuseWith(L"主进程不存在，请手动卸载！");
    // 4. and 5. Whether the authorization code is needed, and checking it.
    std::string answer;
    window.SendEngineCommand("getauth", "", answer);
    if (TextBetween(answer, "<status>", "</status>") != "0") CheckUninstallAnswer(window, folder);
    // 6. Every refusal above has ended the process without touching anything.
    // 7. Keep the configuration and the logs?
    const bool removeLogsAndConfig =
        Ask(CDialogMsg::kQuestion, true, L"文件删除确认", L"需要删除 “日志和配置文件” 吗？") == IDOK;
    // 8. A running engine is told to let go of its files.
    if (IsEngineReachable()) {
        window.SendEngineCommand("setinfo", "<update>1</update>", answer);
        ::Sleep(kAfterUpdateNoticeMs);
    }
    // 9. The removal.
    RemoveInstallation(removeLogsAndConfig);
    // 10. Done.
    window.Quitting = 1;
    window.trayIcon.Remove();
    window.EndDialog(IDOK);
    EndUninstall();
}
