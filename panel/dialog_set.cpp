#include "panel/dialog_set.h"

#include "foundation/process.h"
#include "foundation/text.h"
#include "panel/dialog_msg.h"
#include "panel/ormvex_panel_dlg.h"
#include "panel/panel_message.h"
#include "panel/panel_values.h"
#include "resources/panel/resource.h"

namespace {
const int kWidth = 617, kHeight = 442;
const COLORREF kLinkColour = RGB(35, 60, 255);
const COLORREF kSecondaryColour = RGB(100, 100, 100);
const COLORREF kWhite = RGB(255, 255, 255);

bool OnWhite(int id) { return id == IDC_ONLY_LOCAL || id == IDC_COPY_FEEDBACK; }
}  // namespace

CDialogSet::CDialogSet(HWND parent)
    : CDialogFrame(IDD_PANEL_SET, kWidth, kHeight, IDB_SET_BACKGROUND, parent),
      whiteBrush_(::CreateSolidBrush(kWhite)) {}
CDialogSet::~CDialogSet() = default;

void CDialogSet::DoDataExchange(CDataExchange* exchange) {
    DDX_Check(exchange, IDC_ONLY_LOCAL, OnlyLocalBox);
    DDX_Text(exchange, IDC_LOCAL_URL, LocalAddress);
    DDX_Text(exchange, IDC_OUTER_URL, OuterAddress);
}

void CDialogSet::FillControls() {
    CStringUtil converter;
    OnlyLocalBox = OnlyLocal == "1" ? BST_CHECKED : BST_UNCHECKED;
    LocalAddress = converter.MultiToWide(LocalUrl);
    OuterAddress = converter.MultiToWide(OuterUrl);
    ::SetWindowTextW(GetDlgItem(IDC_COPY_FEEDBACK), L"");
}

void CDialogSet::OnOK() {
    // 1. The box as the user left it.
    UpdateData(true);
    // 2. Restricting access asks first; anything but OK keeps the dialog open.
    if (OnlyLocalBox == BST_CHECKED) {
        INT_PTR answer = ShowPanelMessage(
            CDialogMsg::kQuestion, true, ProductName(),
            L"确定开启只允许本机访问选项吗？\n开启后将无法通过其他IP访问防入侵集群系统，更加安全！", m_hWnd);
        if (answer != IDOK) return;
        OnlyLocal = "1";
    } else {
        // 3. Lifting the restriction needs no question.
        OnlyLocal = "0";
    }
    // 4.
    EndDialog(IDOK);
}

void CDialogSet::CopyAddress(const std::wstring& address) {
    bool copied = CopyToClipboard(CStringUtil().WideToMulti(address)) != 0;
    HWND feedback = GetDlgItem(IDC_COPY_FEEDBACK);
    ::SetWindowTextW(feedback, copied ? L"复制成功" : L"复制失败");
    // The text is drawn over the dialog's picture, so the area under it repaints too.
    RECT area{};
    ::GetWindowRect(feedback, &area);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&area), 2);
    ::InvalidateRect(m_hWnd, &area, TRUE);
    ::UpdateWindow(m_hWnd);
}

bool CDialogSet::OnCommand(UINT id, UINT code, HWND control) {
    switch (id) {
        case IDC_LOCAL_URL:
        case IDC_OUTER_URL: {
            if (code != STN_CLICKED) return false;
            UpdateData(true);
            const std::wstring& address = id == IDC_LOCAL_URL ? LocalAddress : OuterAddress;
            if (!address.empty()) OpenWithShell(CStringUtil().WideToMulti(address));
            return true;
        }
        case IDC_COPY_LOCAL:
        case IDC_COPY_OUTER:
            UpdateData(true);
            CopyAddress(id == IDC_COPY_LOCAL ? LocalAddress : OuterAddress);
            return true;
        default:
            return CDialogFrame::OnCommand(id, code, control);
    }
}

HBRUSH CDialogSet::OnCtlColor(HDC dc, HWND control, UINT kind) {
    int id = ::GetDlgCtrlID(control);
    if (kind == WM_CTLCOLORDLG || !OnWhite(id)) return CDialogFrame::OnCtlColor(dc, control, kind);
    ::SetBkColor(dc, kWhite);
    ::SetTextColor(dc, kSecondaryColour);
    return whiteBrush_.get();
}

std::vector<int> CDialogSet::BodyFontControls() const {
    return {IDC_LOCAL_URL, IDC_OUTER_URL, IDC_ONLY_LOCAL, IDC_COPY_FEEDBACK, IDC_COPY_LOCAL, IDC_COPY_OUTER};
}

std::vector<std::pair<int, std::wstring>> CDialogSet::CopyButtons() const {
    return {{IDC_COPY_LOCAL, L"复制到剪贴板"}, {IDC_COPY_OUTER, L"复制到剪贴板"}};
}

COLORREF CDialogSet::TextColour(int id) const {
    if (id == IDC_LOCAL_URL || id == IDC_OUTER_URL) return kLinkColour;
    return static_cast<COLORREF>(-1);
}

bool CDialogSet::ShowsHandCursor(int id) const {
    return id == IDOK || id == IDCANCEL || id == IDC_LOCAL_URL || id == IDC_OUTER_URL || id == IDC_COPY_LOCAL ||
           id == IDC_COPY_OUTER;
}

void ChangeAccessSettings(COrmVexPanelDlg& window) {
    CStringUtil converter;
    // 1. The current values.
    std::string answer;
    bool done = window.SendEngineCommand("getinfo", "", answer);
    std::string data = TextBetween(answer, "<data>", "</data>");
    if (!done) {
        ShowPanelMessage(CDialogMsg::kError, false, L"错误", converter.MultiToWide(data));
        return;
    }
    // 2. Into the dialog.
    LocalUrl = TextBetween(data, "<localurl>", "</localurl>");
    OuterUrl = TextBetween(data, "<outerurl>", "</outerurl>");
    OnlyLocal = TextBetween(data, "<onlylocal>", "</onlylocal>");
    CDialogSet settings;
    // 3. Cancelled: nothing is sent.
    if (settings.DoModal() != IDOK) return;
    // 4. The new restriction; the addresses are only shown.
    done = window.SendEngineCommand("setinfo", "<onlylocal>" + OnlyLocal + "</onlylocal>", answer);
    data = TextBetween(answer, "<data>", "</data>");
    // 5.
    if (done)
        ShowPanelMessage(CDialogMsg::kInformation, false, L"修改成功", converter.MultiToWide(data));
    else
        ShowPanelMessage(CDialogMsg::kError, false, L"错误", converter.MultiToWide(data));
}
