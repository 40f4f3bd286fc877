#include "panel/dialog_msg_quit.h"

#include "framework/gdi.h"
#include "panel/panel_values.h"
#include "resources/panel/resource.h"

CDialogMsgQuit::CDialogMsgQuit(HWND parent) : CDialogMsg(IDD_PANEL_MSG_QUIT, parent) {}
CDialogMsgQuit::~CDialogMsgQuit() = default;

void CDialogMsgQuit::SetQuitMessage(const std::wstring& title, const std::wstring& text) {
    SetMessage(kQuestion, true, title, text);
}

BOOL CDialogMsgQuit::OnInitDialog() {
    CDialogEx::OnInitDialog();
    okButton.SubclassDlgItem(IDOK, m_hWnd);
    cancelButton.SubclassDlgItem(IDCANCEL, m_hWnd);
    ::SetWindowTextW(GetDlgItem(IDC_TITLE), Title.c_str());
    ::SetWindowTextW(GetDlgItem(IDC_CHECK_LABEL), Text.c_str());
    ::SendMessageW(GetDlgItem(IDC_TITLE), WM_SETFONT, reinterpret_cast<WPARAM>(TitleFont.get()), TRUE);
    ::SendMessageW(GetDlgItem(IDC_CHECK_LABEL), WM_SETFONT, reinterpret_cast<WPARAM>(BodyFont.get()), TRUE);
    DressCommonParts();
    Ticked = DontShowTrayAgain;
    ShowTick();
    Initialized = true;
    return TRUE;
}

void CDialogMsgQuit::ShowTick() {
    CheckBitmap = LoadBitmapResource(Ticked ? IDB_CHECK_TICKED : IDB_CHECK_EMPTY);
    ::SendMessageW(GetDlgItem(IDC_CHECK_PICTURE), STM_SETIMAGE, IMAGE_BITMAP,
                   reinterpret_cast<LPARAM>(CheckBitmap.get()));
}

bool CDialogMsgQuit::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDC_CHECK_PICTURE && code == STN_CLICKED) {
        Ticked = !Ticked;
        ShowTick();
        return true;
    }
    return CDialogMsg::OnCommand(id, code, control);
}

void CDialogMsgQuit::OnOK() {
    if (Ticked) DontShowTrayAgain = true;
    EndDialog(IDOK);
}
