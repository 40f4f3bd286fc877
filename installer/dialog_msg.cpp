#include "installer/dialog_msg.h"

#include "foundation/text.h"
#include "framework/gdi.h"
#include "installer/setup_values.h"
#include "resources/installer/resource.h"

namespace {
constexpr int kButtonIconWidth = 62, kButtonIconHeight = 34;
constexpr COLORREF kFrameColour = RGB(214, 216, 214);
constexpr COLORREF kTextColour = RGB(100, 100, 100);
constexpr COLORREF kWhite = RGB(255, 255, 255);
}  // namespace

CDialogMsg::CDialogMsg(HWND parent) : CDialogEx(IDD_DIALOG_MSG, parent), whiteBrush_(::CreateSolidBrush(kWhite)) {}
CDialogMsg::~CDialogMsg() = default;

UINT CDialogMsg::KindBitmapId(int kind) {
    switch (kind) {
        case kSuccess: return IDB_KIND_SUCCESS;
        case kWarning: return IDB_KIND_WARNING;
        case kError: return IDB_KIND_ERROR;
        case kQuestion: return IDB_KIND_QUESTION;
        default: return IDB_KIND_INFO;
    }
}

void CDialogMsg::SetMessage(int kind, bool showCancel, const std::wstring& title, const std::wstring& text) {
    kind_ = kind;
    showCancel_ = showCancel;
    title_ = title;
    text_ = text;
}

BOOL CDialogMsg::OnInitDialog() {
    CDialogEx::OnInitDialog();
    // 1. The kind's picture, the title and the text in their fonts.
    kindBitmap_ = LoadBitmapResource(KindBitmapId(kind_));
    ::SendMessageW(GetDlgItem(IDC_KIND_PICTURE), STM_SETIMAGE, IMAGE_BITMAP,
                   reinterpret_cast<LPARAM>(kindBitmap_.get()));
    ::SetWindowTextW(GetDlgItem(IDC_TITLE), title_.c_str());
    ::SetWindowTextW(GetDlgItem(IDC_MESSAGE_TEXT), text_.c_str());
    ::SendMessageW(GetDlgItem(IDC_TITLE), WM_SETFONT, reinterpret_cast<WPARAM>(TitleFont.get()), TRUE);
    ::SendMessageW(GetDlgItem(IDC_MESSAGE_TEXT), WM_SETFONT, reinterpret_cast<WPARAM>(BodyFont.get()), TRUE);
    // 2. The buttons: icons only, Cancel when asked for.
    okButton_.SubclassDlgItem(IDOK, m_hWnd);
    cancelButton_.SubclassDlgItem(IDCANCEL, m_hWnd);
    struct Face {
        CButtonST* button;
        UINT icon;
        const wchar_t* tip;
    } faces[] = {{&okButton_, IDI_BUTTON_OK, L"确定"}, {&cancelButton_, IDI_BUTTON_CANCEL, L"取消"}};
    for (const Face& face : faces)
        face.button->ShowIconOnly(LoadIconResource(face.icon, kButtonIconWidth, kButtonIconHeight).release(), face.tip);
    ::ShowWindow(GetDlgItem(IDCANCEL), showCancel_ ? SW_SHOW : SW_HIDE);
    // 3. Above everything else; shown by the modal loop once its face is ready, so
    // the transparent buttons copy a painted background.
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return TRUE;
}

BOOL CDialogMsg::OnEraseBkgnd(HDC dc) {
    RECT client = GetClientRect();
    ::FillRect(dc, &client, whiteBrush_.get());
    UniqueBrush frame(::CreateSolidBrush(kFrameColour));
    ::FrameRect(dc, &client, frame.get());
    return TRUE;
}

HBRUSH CDialogMsg::OnCtlColor(HDC dc, HWND, UINT) {
    ::SetTextColor(dc, kTextColour);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetBkColor(dc, kWhite);
    return whiteBrush_.get();
}

void CDialogMsg::OnLButtonDown(UINT, POINT) { StartCaptionDrag(); }

INT_PTR ShowSetupMessage(HWND parent, int kind, bool showCancel, const std::string& title, const std::string& text) {
    CDialogMsg box(parent);
    box.SetMessage(kind, showCancel, GbkToWide(title), GbkToWide(text));
    return box.DoModal();
}
