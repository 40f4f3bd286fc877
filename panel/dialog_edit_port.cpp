#include "panel/dialog_edit_port.h"

#include <cstdlib>

#include "foundation/text.h"
#include "panel/dialog_msg.h"
#include "panel/ormvex_panel_dlg.h"
#include "panel/panel_message.h"
#include "panel/panel_values.h"
#include "resources/panel/resource.h"

namespace {
const int kWidth = 482, kHeight = 338;
const long kHighestPort = 65535;
}  // namespace

long PortNumber(const std::string& text) { return std::strtol(text.c_str(), nullptr, 10); }

bool IsUsablePort(long port) { return port >= 1 && port <= kHighestPort; }

CDialogEditPort::CDialogEditPort(HWND parent)
    : CDialogFrame(IDD_PANEL_PORT, kWidth, kHeight, IDB_PORT_BACKGROUND, parent) {}
CDialogEditPort::~CDialogEditPort() = default;

void CDialogEditPort::DoDataExchange(CDataExchange* exchange) { DDX_Text(exchange, IDC_PORT_EDIT, PortInput); }

void CDialogEditPort::FillControls() { PortInput = CStringUtil().MultiToWide(PortText); }

void CDialogEditPort::OnOK() {
    // 1. and 2.
    UpdateData(true);
    long port = PortNumber(CStringUtil().WideToMulti(PortInput));
    // 3. The field keeps what was typed, so it can be corrected.
    if (!IsUsablePort(port)) {
        ShowPanelMessage(CDialogMsg::kError, false, L"Orm", L"端口号输入错误，请输入正确且未被占用的端口号！", m_hWnd);
        return;
    }
    // 4. Plain digits: "08080" and "8080abc" both become "8080".
    PortText = IntText(static_cast<std::int32_t>(port));
    EndDialog(IDOK);
}

std::vector<int> CDialogEditPort::BodyFontControls() const { return {IDC_PORT_EDIT}; }

bool CDialogEditPort::ShowsHandCursor(int id) const { return id == IDOK || id == IDCANCEL; }

void ChangePort(COrmVexPanelDlg& window) {
    CStringUtil converter;
    // 1. The current port.
    std::string answer;
    bool done = window.SendEngineCommand("getport", "", answer);
    std::string data = TextBetween(answer, "<data>", "</data>");
    if (!done) {
        ShowPanelMessage(CDialogMsg::kError, false, L"错误", converter.MultiToWide(data));
        return;
    }
    // 2. A port the site cannot have stops here.
    std::string received = TextBetween(data, "<port>", "</port>");
    if (!IsUsablePort(PortNumber(received))) {
        ShowPanelMessage(CDialogMsg::kError, false, L"错误", L"获取端口号错误！");
        return;
    }
    // 3. The dialog.
    PortText = received;
    CDialogEditPort dialog;
    if (dialog.DoModal() != IDOK) return;
    // 4. The same port again changes nothing.
    if (PortText == received) {
        ShowPanelMessage(CDialogMsg::kInformation, false, L"Orm", L"相同端口无需更改！");
        return;
    }
    // 5. The new port; the engine does the rest and says how it went.
    done = window.SendEngineCommand("setport", "<port>" + PortText + "</port>", answer);
    data = TextBetween(answer, "<data>", "</data>");
    if (done)
        ShowPanelMessage(CDialogMsg::kInformation, false, L"Orm", converter.MultiToWide(data));
    else
        ShowPanelMessage(CDialogMsg::kError, false, L"错误", converter.MultiToWide(data));
}
