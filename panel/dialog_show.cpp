#include "panel/dialog_show.h"

#include <commctrl.h>

#include "foundation/process.h"
#include "foundation/text.h"
#include "panel/panel_values.h"
#include "resources/panel/resource.h"

namespace {
const int kWidth = 802, kHeight = 510;
const COLORREF kLinkColour = RGB(35, 60, 255);
const int kTooltipWidth = 360;
const int kTooltipDelayMs = 100, kTooltipShowMs = 3000;
const COLORREF kTooltipText = RGB(0, 0, 100), kTooltipBack = RGB(255, 255, 255);
}  // namespace

CDialogShow::CDialogShow(HWND parent) : CDialogFrame(IDD_PANEL_INFO, kWidth, kHeight, IDB_INFO_BACKGROUND, parent) {}
CDialogShow::~CDialogShow() = default;

void CDialogShow::DoDataExchange(CDataExchange* exchange) {
    DDX_Text(exchange, IDC_VERSION, Version);
    DDX_Text(exchange, IDC_OUTER_URL, OuterAddress);
    DDX_Text(exchange, IDC_LOCAL_URL, LocalAddress);
    DDX_Text(exchange, IDC_INSTALL_FOLDER, InstallFolder);
}

void CDialogShow::FillControls() {
    // 1. and 2. The record's values and the program directory.
    CStringUtil converter;
    Version = converter.MultiToWide(TextBetween(InfoRecord, "<ver>", "</ver>"));
    OuterAddress = converter.MultiToWide(TextBetween(InfoRecord, "<outerurl>", "</outerurl>"));
    LocalAddress = converter.MultiToWide(TextBetween(InfoRecord, "<localurl>", "</localurl>"));
    InstallFolder = converter.MultiToWide(ProgramFolder());
    if (OuterAddress.empty()) ::ShowWindow(GetDlgItem(IDC_COPY_OUTER), SW_HIDE);
    if (LocalAddress.empty()) ::ShowWindow(GetDlgItem(IDC_COPY_LOCAL), SW_HIDE);
    if (InstallFolder.empty()) ::ShowWindow(GetDlgItem(IDC_COPY_FOLDER), SW_HIDE);
}

BOOL CDialogShow::OnInitDialog() {
    CDialogFrame::OnInitDialog();
    // 3. A hint on the version when an upgrade waits.
    if (Version.find(L"升级") != std::wstring::npos && tooltip.Create(m_hWnd)) {
        tooltip.SetMaxTipWidth(kTooltipWidth);
        tooltip.SetDelayTime(TTDT_INITIAL, kTooltipDelayMs);
        tooltip.SetDelayTime(TTDT_AUTOPOP, kTooltipShowMs);
        tooltip.SetTipTextColor(kTooltipText);
        tooltip.SetTipBkColor(kTooltipBack);
        tooltip.AddWindowTool(GetDlgItem(IDC_VERSION), L"请登录管理面板在线升级");
        tooltip.Activate(true);
        tooltipActive_ = true;
    }
    return TRUE;
}

BOOL CDialogShow::PreTranslateMessage(MSG* msg) {
    if (tooltipActive_ && msg->message == WM_MOUSEMOVE) tooltip.RelayEvent(msg);
    return CDialogFrame::PreTranslateMessage(msg);
}

void CDialogShow::CopyText(const std::wstring& text) { CopyToClipboard(CStringUtil().WideToMulti(text)); }

bool CDialogShow::OnCommand(UINT id, UINT code, HWND control) {
    CStringUtil converter;
    switch (id) {
        case IDC_LOCAL_URL:
        case IDC_OUTER_URL: {
            if (code != STN_CLICKED) return false;
            std::wstring address = id == IDC_LOCAL_URL ? LocalAddress : OuterAddress;
            if (!address.empty()) OpenWithShell(converter.WideToMulti(address));
            return true;
        }
        case IDC_INSTALL_FOLDER:
            if (code != STN_CLICKED) return false;
            OpenWithShell(ProgramFolder());
            return true;
        case IDC_COPY_LOCAL:
            CopyText(LocalAddress);
            return true;
        case IDC_COPY_OUTER:
            CopyText(OuterAddress);
            return true;
        case IDC_COPY_FOLDER:
            CopyToClipboard(ProgramFolder());
            return true;
        default:
            return CDialogFrame::OnCommand(id, code, control);
    }
}

std::vector<int> CDialogShow::BodyFontControls() const {
    return {IDC_VERSION, IDC_LOCAL_URL, IDC_OUTER_URL, IDC_INSTALL_FOLDER};
}

std::vector<std::pair<int, std::wstring>> CDialogShow::CopyButtons() const {
    return {{IDC_COPY_OUTER, L"复制外网网址到剪贴板"},
            {IDC_COPY_LOCAL, L"复制内网网址到剪贴板"},
            {IDC_COPY_FOLDER, L"复制软件安装路径到剪贴板"}};
}

COLORREF CDialogShow::TextColour(int id) const {
    if (id == IDC_LOCAL_URL || id == IDC_OUTER_URL || id == IDC_INSTALL_FOLDER) return kLinkColour;
    return static_cast<COLORREF>(-1);
}

bool CDialogShow::ShowsHandCursor(int id) const {
    return id == IDC_LOCAL_URL || id == IDC_OUTER_URL || id == IDC_COPY_LOCAL || id == IDC_COPY_OUTER ||
           id == IDC_INSTALL_FOLDER;
}
