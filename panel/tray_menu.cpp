// The tray icon's menu: built anew at every right-button press; its texts show the
// engine's state.
#include "foundation/controls/xp_menu.h"
#include "framework/gdi.h"
#include "panel/add_administrator.h"
#include "panel/dialog_edit_port.h"
#include "panel/dialog_set.h"
#include "panel/ormvex_panel_dlg.h"
#include "panel/repair.h"
#include "panel/system_switch.h"
#include "resources/panel/resource.h"

namespace {
const COLORREF kSelectionColour = RGB(82, 196, 26);
const int kMenuIconSize = 16;

const wchar_t* TurnOnText(int state) {
    static const wchar_t* const texts[] = {L"开启系统（已开启）", L"开启系统", L"开启系统（有异常）"};
    return texts[state >= 0 && state <= 2 ? state : 2];
}

const wchar_t* TurnOffText(int state) {
    static const wchar_t* const texts[] = {L"关闭系统", L"关闭系统（已关闭）", L"关闭系统（有异常）"};
    return texts[state >= 0 && state <= 2 ? state : 2];
}

CMenuXPText* Item(UINT id, const wchar_t* text, UINT iconId) {
    return new CMenuXPText(id, text, LoadIconResource(iconId, kMenuIconSize, kMenuIconSize).release());
}
}  // namespace

void COrmVexPanelDlg::ShowTrayMenu() {
    CXPMenu menu;
    if (!menu.CreatePopupMenu()) return;
    menu.SetSelectedBarColor(kSelectionColour);
    int state = SystemState;
    menu.AppendItem(Item(ID_MENU_OPEN_SITE, L"打开面板", IDI_MENU_OPEN));
    menu.AppendItem(Item(ID_MENU_ACCESS, L"访问设置", IDI_MENU_SETTINGS));
    menu.AppendItem(new CMenuXPSeparator());
    menu.AppendItem(Item(ID_MENU_SHOW_INFO, L"查看信息", IDI_MENU_INFO));
    menu.AppendItem(Item(ID_MENU_TURN_ON, TurnOnText(state), IDI_MENU_TURN_ON));
    menu.AppendItem(Item(ID_MENU_TURN_OFF, TurnOffText(state), IDI_MENU_TURN_OFF));
    menu.AppendItem(Item(ID_MENU_ADD_ADMIN, L"添加管理员", IDI_MENU_ADD_ADMIN));
    menu.AppendItem(Item(ID_MENU_CHANGE_PORT, L"更改端口", IDI_MENU_PORT));
    menu.AppendItem(Item(ID_MENU_REPAIR, L"修复软件", IDI_MENU_REPAIR));
    menu.AppendItem(new CMenuXPSeparator());
    menu.AppendItem(Item(ID_MENU_QUIT, L"退出托盘(&Q)", IDI_MENU_QUIT));

    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::SetForegroundWindow(m_hWnd);
    UINT chosen = menu.TrackPopupMenu(TPM_RETURNCMD | TPM_BOTTOMALIGN, cursor.x, cursor.y, m_hWnd);
    // Lets the menu close properly when the user clicks elsewhere next time.
    ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
    if (chosen) RunMenuCommand(chosen);
}

void COrmVexPanelDlg::RunMenuCommand(UINT id) {
    switch (id) {
        case ID_MENU_OPEN_SITE:
            OpenManagementSite();
            break;
        case ID_MENU_SHOW_INFO:
            ShowInformation();
            break;
        case ID_MENU_ADD_ADMIN:
            AddAdministrator(*this);
            break;
        case ID_MENU_QUIT:
            QuitFromTray();
            break;
        // Access settings, turning on and off, port and repair.
        case ID_MENU_ACCESS:
            ChangeAccessSettings(*this);
            break;
        case ID_MENU_TURN_ON:
            TurnSystemOn(*this);
            break;
        case ID_MENU_CHANGE_PORT:
            ChangePort(*this);
            break;
        case ID_MENU_REPAIR:
            RepairInstallation(*this);
            break;
        default:
            // Access settings, turning on and off, administrators, port and repair
            // open their own dialogs; they are not part of this build yet.
            break;
    }
}
