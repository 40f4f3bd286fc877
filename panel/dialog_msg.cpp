#include "panel/dialog_msg.h"

#include "framework/gdi.h"
#include "panel/panel_values.h"
#include "resources/panel/resource.h"

namespace {
const int kButtonIconWidth = 62, kButtonIconHeight = 34;
const COLORREF kFrameColour = RGB(214, 214, 214);
const COLORREF kWhite = RGB(255, 255, 255);

// Bare line feeds become line breaks the edit control shows.
std::wstring WithCarriageReturns(const std::wstring& text) {
    std::wstring result;
    result.reserve(text.size() + 8);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) result += L'\r';
        result += text[i];
    }
    return result;
}
}  // namespace

CDialogMsg::CDialogMsg(HWND parent) : CDialogMsg(IDD_PANEL_MSG, parent) {}
CDialogMsg::CDialogMsg(UINT templateId, HWND parent)
    : CDialogEx(templateId, parent), whiteBrush(::CreateSolidBrush(kWhite)) {}
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
    Kind = kind;
    ShowCancel = showCancel;
    Title = title;
    Text = text;
    KindBitmap = LoadBitmapResource(KindBitmapId(kind));
}

BOOL CDialogMsg::OnInitDialog() {
    CDialogEx::OnInitDialog();
    okButton.SubclassDlgItem(IDOK, m_hWnd);
    cancelButton.SubclassDlgItem(IDCANCEL, m_hWnd);
    // 1. Cancel only when asked for.
    ::ShowWindow(GetDlgItem(IDCANCEL), ShowCancel ? SW_SHOW : SW_HIDE);
    // 2. Title and text.
    ::SetWindowTextW(GetDlgItem(IDC_TITLE), Title.c_str());
    ::SetWindowTextW(GetDlgItem(IDC_MESSAGE_TEXT), WithCarriageReturns(Text).c_str());
    // 3. Fonts.
    ::SendMessageW(GetDlgItem(IDC_TITLE), WM_SETFONT, reinterpret_cast<WPARAM>(TitleFont.get()), TRUE);
    ::SendMessageW(GetDlgItem(IDC_MESSAGE_TEXT), WM_SETFONT, reinterpret_cast<WPARAM>(BodyFont.get()), TRUE);
    // 4. to 6.
    DressCommonParts();
    // 7.
    Initialized = true;
    return TRUE;
}

void CDialogMsg::DressCommonParts() {
    ::SendMessageW(GetDlgItem(IDC_KIND_ICON), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(KindBitmap.get()));
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    struct Face {
        CButtonST* button;
        UINT icon;
        const wchar_t* tip;
    } faces[] = {{&okButton, IDI_BUTTON_OK, L"确定"}, {&cancelButton, IDI_BUTTON_CANCEL, L"取消"}};
    for (const Face& face : faces)
        face.button->ShowIconOnly(LoadIconResource(face.icon, kButtonIconWidth, kButtonIconHeight).release(), face.tip);
}

BOOL CDialogMsg::OnEraseBkgnd(HDC dc) {
    RECT client = GetClientRect();
    ::FillRect(dc, &client, whiteBrush.get());
    UniqueBrush frame(::CreateSolidBrush(kFrameColour));
    ::FrameRect(dc, &client, frame.get());
    return TRUE;
}

HBRUSH CDialogMsg::OnCtlColor(HDC dc, HWND control, UINT) {
    if (::GetDlgCtrlID(control) == IDC_KIND_ICON || ::GetDlgCtrlID(control) == IDC_CHECK_PICTURE) {
        ::SetBkMode(dc, TRANSPARENT);
        return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    }
    ::SetBkColor(dc, kWhite);
    return whiteBrush.get();
}

void CDialogMsg::OnLButtonDown(UINT, POINT) { StartCaptionDrag(); }
