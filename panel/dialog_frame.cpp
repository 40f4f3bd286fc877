#include "panel/dialog_frame.h"

#include "framework/gdi.h"
#include "panel/panel_values.h"
#include "resources/panel/resource.h"

namespace {
const int kOkCancelWidth = 62, kOkCancelHeight = 34;
const int kCopyWidth = 86, kCopyHeight = 34;
const COLORREF kTitleColour = RGB(255, 255, 255);
const COLORREF kDefaultColour = static_cast<COLORREF>(-1);
}  // namespace

CDialogFrame::CDialogFrame(UINT templateId, int width, int height, UINT backgroundId, HWND parent)
    : CDialogEx(templateId, parent), width_(width), height_(height), backgroundId_(backgroundId) {}

CDialogFrame::~CDialogFrame() = default;

RECT CDialogFrame::ScaledRect(const RECT& recorded, const RECT& recordedWindow, const RECT& window) {
    double scaleX = static_cast<double>(window.right - window.left) / (recordedWindow.right - recordedWindow.left);
    double scaleY = static_cast<double>(window.bottom - window.top) / (recordedWindow.bottom - recordedWindow.top);
    RECT placed;
    placed.left = window.left + static_cast<LONG>((recorded.left - recordedWindow.left) * scaleX);
    placed.top = window.top + static_cast<LONG>((recorded.top - recordedWindow.top) * scaleY);
    placed.right = window.right + static_cast<LONG>((recorded.right - recordedWindow.right) * scaleX);
    placed.bottom = window.bottom + static_cast<LONG>((recorded.bottom - recordedWindow.bottom) * scaleY);
    return placed;
}

BOOL CDialogFrame::OnInitDialog() {
    CDialogEx::OnInitDialog();
    closeButton.SubclassDlgItem(IDC_CLOSE, m_hWnd);
    okButton.SubclassDlgItem(IDOK, m_hWnd);
    cancelButton.SubclassDlgItem(IDCANCEL, m_hWnd);
    for (const auto& copy : CopyButtons()) {
        copyButtons.push_back(std::make_unique<CButtonST>());
        copyButtons.back()->SubclassDlgItem(copy.first, m_hWnd);
    }
    // 1. The layout as the template made it.
    layout.clear();
    layout.push_back(GetWindowRect());
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        ::GetWindowRect(child, &r);
        layout.push_back(r);
    }
    // 2. The fixed size; the size message lays the controls out.
    RECT placed = layout.front();
    ::MoveWindow(m_hWnd, placed.left, placed.top, width_, height_, TRUE);
    // 3. Caption and a taskbar button of its own.
    SetWindowTextW(ProductName());
    ::SetWindowLongW(m_hWnd, GWL_EXSTYLE, ::GetWindowLongW(m_hWnd, GWL_EXSTYLE) | WS_EX_APPWINDOW);
    // 4. Values into the controls.
    FillControls();
    UpdateData(false);
    // 5. Background.
    backgroundBrush.reset();
    background = LoadBitmapResource(backgroundId_);
    backgroundBrush.reset(::CreatePatternBrush(background.get()));
    // 6. Fonts.
    ::SendMessageW(GetDlgItem(IDC_TITLE), WM_SETFONT, reinterpret_cast<WPARAM>(TitleFont.get()), TRUE);
    for (int id : BodyFontControls())
        ::SendMessageW(GetDlgItem(id), WM_SETFONT, reinterpret_cast<WPARAM>(BodyFont.get()), TRUE);
    // 7. Topmost and shown.
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    // 8. Buttons.
    DressButtons();
    return TRUE;
}

void CDialogFrame::DressButtons() {
    closeButton.LoadStrip(IDB_CLOSE_STRIP);
    closeButton.SetTooltipText(L"关闭窗口");
    auto dress = [](CButtonST& button, UINT icon, int width, int height, const std::wstring& tip) {
        button.ShowIconOnly(LoadIconResource(icon, width, height).release(), tip);
    };
    dress(okButton, IDI_BUTTON_OK, kOkCancelWidth, kOkCancelHeight, L"确定");
    dress(cancelButton, IDI_BUTTON_CANCEL, kOkCancelWidth, kOkCancelHeight, L"取消");
    auto copies = CopyButtons();
    for (size_t i = 0; i < copies.size() && i < copyButtons.size(); ++i)
        dress(*copyButtons[i], IDI_BUTTON_COPY, kCopyWidth, kCopyHeight, copies[i].second);
}

void CDialogFrame::OnSize(UINT, int, int) {
    if (layout.empty()) return;
    RECT window = GetWindowRect();
    size_t index = 1;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child && index < layout.size();
         child = ::GetWindow(child, GW_HWNDNEXT), ++index) {
        RECT placed = ScaledRect(layout[index], layout.front(), window);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&placed), 2);
        ::MoveWindow(child, placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top, TRUE);
    }
}

bool CDialogFrame::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDC_CLOSE) {
        EndDialog(IDCANCEL);
        return true;
    }
    return CDialogEx::OnCommand(id, code, control);
}

BOOL CDialogFrame::OnEraseBkgnd(HDC dc) {
    RECT client = GetClientRect();
    if (!backgroundBrush) return static_cast<BOOL>(Default());
    ::FillRect(dc, &client, backgroundBrush.get());
    return TRUE;
}

HBRUSH CDialogFrame::OnCtlColor(HDC dc, HWND control, UINT kind) {
    if (kind == WM_CTLCOLORDLG) return backgroundBrush.get();
    ::SetBkMode(dc, TRANSPARENT);
    int id = ::GetDlgCtrlID(control);
    COLORREF colour = id == IDC_TITLE ? kTitleColour : TextColour(id);
    if (colour != kDefaultColour) ::SetTextColor(dc, colour);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

void CDialogFrame::OnLButtonDown(UINT, POINT) { StartCaptionDrag(); }

BOOL CDialogFrame::OnSetCursor(HWND window, UINT hitTest, UINT message) {
    if (window != m_hWnd && ShowsHandCursor(::GetDlgCtrlID(window))) {
        ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(32649))  /* IDC_HAND */);
        return TRUE;
    }
    return CDialogEx::OnSetCursor(window, hitTest, message);
}

void CDialogFrame::FillControls() {}
std::vector<int> CDialogFrame::BodyFontControls() const { return {}; }
std::vector<std::pair<int, std::wstring>> CDialogFrame::CopyButtons() const { return {}; }
COLORREF CDialogFrame::TextColour(int) const { return kDefaultColour; }
bool CDialogFrame::ShowsHandCursor(int) const { return false; }
