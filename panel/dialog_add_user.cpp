#include "panel/dialog_add_user.h"

#include "foundation/text.h"
#include "panel/dialog_msg.h"
#include "panel/panel_values.h"
#include "resources/panel/resource.h"

namespace {
const int kWidth = 482, kHeight = 330;
const int kTextInset = 2;
}  // namespace

CDialogAddUser::CDialogAddUser(HWND parent)
    : CDialogFrame(IDD_PANEL_ADD_USER, kWidth, kHeight, IDB_ADD_USER_BACKGROUND, parent) {}
CDialogAddUser::~CDialogAddUser() = default;

void CDialogAddUser::DoDataExchange(CDataExchange* exchange) { DDX_Text(exchange, IDC_AUTH_CODE, CodeText); }

BOOL CDialogAddUser::OnInitDialog() {
    CDialogFrame::OnInitDialog();
    HWND field = GetDlgItem(IDC_AUTH_CODE);
    // A multi-line edit control ignores the password character, so the field is a
    // single-line password field; its margins give the text its inset instead.
    ::SendMessageW(field, EM_SETPASSWORDCHAR, L'*', 0);
    ::SendMessageW(field, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(kTextInset, kTextInset));
    ::SetFocus(field);
    return FALSE;  // the focus is set
}

void CDialogAddUser::OnOK() {
    // 1. The field into the member.
    UpdateData(true);
    // 2. Too short: say so and stay open.
    if (CodeText.size() < kShortestCode) {
        CDialogMsg message(m_hWnd);
        message.SetMessage(CDialogMsg::kError, false, L"Orm", L"授权密码输入错误！");
        message.DoModal();
        return;
    }
    // 3. The code in the system code page, and done.
    AuthCode = CStringUtil().WideToMulti(CodeText);
    EndDialog(IDOK);
}

HBRUSH CDialogAddUser::OnCtlColor(HDC dc, HWND control, UINT kind) {
    // The field is redrawn at every key; a see-through background would keep the
    // stars of deleted characters. The box in the picture is white as well.
    if (kind != WM_CTLCOLOREDIT) return CDialogFrame::OnCtlColor(dc, control, kind);
    ::SetBkColor(dc, RGB(255, 255, 255));
    return static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
}

std::vector<int> CDialogAddUser::BodyFontControls() const { return {IDC_AUTH_CODE, IDOK, IDCANCEL}; }

bool CDialogAddUser::ShowsHandCursor(int id) const { return id == IDOK || id == IDCANCEL; }
