#include "installer/dialog_succ.h"

#include "foundation/process.h"
#include "foundation/product.h"
#include "foundation/text.h"
#include "framework/gdi.h"
#include "installer/dialog_msg.h"
#include "installer/setup_values.h"
#include "resources/installer/resource.h"

namespace {
constexpr int kWindowWidth = 600, kWindowHeight = 410;
constexpr int kOpenIconWidth = 132, kOpenIconHeight = 43;
constexpr COLORREF kFieldText = RGB(100, 100, 100);
constexpr COLORREF kWhite = RGB(255, 255, 255);
}  // namespace

CDialogSucc::CDialogSucc(std::string localAddress, std::string publicAddress)
    : CDialogEx(IDD_DIALOG_SUCC),
      localAddress_(std::move(localAddress)),
      publicAddress_(std::move(publicAddress)),
      whiteBrush_(::CreateSolidBrush(kWhite)) {}
CDialogSucc::~CDialogSucc() = default;

BOOL CDialogSucc::OnInitDialog() {
    CDialogEx::OnInitDialog();
    layout_.Record(m_hWnd);
    SetWindowTextW(SetupWindowTitle());
    ::SetWindowTextW(GetDlgItem(IDC_LINK_PRODUCT), L"");
    ::SetWindowTextW(GetDlgItem(IDC_VERSION), GbkToWide(kProductVersion).c_str());
    background_ = LoadBitmapResource(IDB_SUCC_BACKGROUND);
    backgroundBrush_.reset(::CreatePatternBrush(background_.get()));
    HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    RECT r = GetWindowRect();
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, r.left, r.top, kWindowWidth, kWindowHeight, SWP_SHOWWINDOW);
    ::SendMessageW(GetDlgItem(IDC_TITLE), WM_SETFONT, reinterpret_cast<WPARAM>(TitleFont.get()), TRUE);
    ::SendMessageW(GetDlgItem(IDC_VERSION), WM_SETFONT, reinterpret_cast<WPARAM>(VersionFont.get()), TRUE);
    ::SendMessageW(GetDlgItem(IDC_ADDRESS), WM_SETFONT, reinterpret_cast<WPARAM>(BodyFont.get()), TRUE);
    // The public address when there is one, the local one otherwise.
    const std::string& shown = publicAddress_.empty() ? localAddress_ : publicAddress_;
    ::SetWindowTextW(GetDlgItem(IDC_ADDRESS), GbkToWide(shown).c_str());
    RECT field{};
    ::GetClientRect(GetDlgItem(IDC_ADDRESS), &field);
    ::SendMessageW(GetDlgItem(IDC_ADDRESS), EM_SETRECT, 0, reinterpret_cast<LPARAM>(&field));
    closeButton_.SubclassDlgItem(IDC_CLOSE, m_hWnd);
    closeButton_.LoadStrip(IDB_CLOSE_STRIP);
    closeButton_.SetTooltipText(L"关闭窗口");
    openButton_.SubclassDlgItem(IDOK, m_hWnd);
    openButton_.SetIcon(LoadIconResource(IDI_BUTTON_OPEN_PANEL, kOpenIconWidth, kOpenIconHeight).release());
    openButton_.DrawBorder(false);
    openButton_.SetTooltipText(L"打开面板");
    openButton_.SetWindowTextW(L"");
    ::SetWindowTextW(GetDlgItem(IDC_OPEN_PANEL), L"");
    ::SetWindowTextW(GetDlgItem(IDC_COPY_ADDRESS), L"");
    return TRUE;
}

bool CDialogSucc::OnCommand(UINT id, UINT, HWND) {
    switch (id) {
        case IDOK:
        case IDC_OPEN_PANEL: OpenPanel(); return true;
        case IDC_COPY_ADDRESS: CopyAddress(); return true;
        case IDC_LINK_PRODUCT: OpenMakerPage(kProductPagePath); return true;
        case IDC_CLOSE:
        case IDCANCEL: EndDialog(IDCANCEL); return true;
        default: return false;
    }
}

void CDialogSucc::OpenPanel() {
    if (localAddress_.empty()) {
        EndDialog(IDOK);
        return;
    }
    OpenWithShell(localAddress_);
}

void CDialogSucc::CopyAddress() {
    const std::string title = ProductName();
    // 1. Nothing to copy ends the dialog.
    if (publicAddress_.empty()) {
        ShowSetupMessage(m_hWnd, CDialogMsg::kInformation, false, title, ToGbk(L"网址获取出错"));
        EndDialog(IDOK);
        return;
    }
    // 2. The public address as ANSI text.
    if (CopyToClipboard(publicAddress_))
        ShowSetupMessage(m_hWnd, CDialogMsg::kInformation, false, title,
                         ToGbk(L"复制成功，请在本地浏览器访问！\r\n建议使用：Chrome、FireFox、Microsoft Edge、360安全浏览器"));
    else
        ShowSetupMessage(m_hWnd, CDialogMsg::kError, false, title, ToGbk(L"复制出错，请重试！"));
}

void CDialogSucc::OnSize(UINT, int, int) { layout_.Apply(m_hWnd); }

BOOL CDialogSucc::OnEraseBkgnd(HDC dc) {
    RECT client = GetClientRect();
    ::FillRect(dc, &client, backgroundBrush_.get());
    return TRUE;
}

HBRUSH CDialogSucc::OnCtlColor(HDC dc, HWND control, UINT) {
    if (control == GetDlgItem(IDC_ADDRESS)) {
        ::SetTextColor(dc, kFieldText);
        ::SetBkColor(dc, kWhite);
        return whiteBrush_.get();
    }
    // Labels show the background picture through: the brush is aligned to the control.
    AlignBrushToChild(dc, m_hWnd, control);
    ::SetTextColor(dc, kWhite);
    ::SetBkMode(dc, TRANSPARENT);
    return backgroundBrush_.get();
}

void CDialogSucc::OnLButtonDown(UINT, POINT) { StartCaptionDrag(); }

BOOL CDialogSucc::OnSetCursor(HWND window, UINT hitTest, UINT message) {
    if (window == GetDlgItem(IDC_OPEN_PANEL) || window == GetDlgItem(IDC_COPY_ADDRESS) ||
        window == GetDlgItem(IDC_LINK_PRODUCT)) {
        ::SetCursor(::LoadCursor(nullptr, IDC_HAND));
        return TRUE;
    }
    return CDialogEx::OnSetCursor(window, hitTest, message);
}
