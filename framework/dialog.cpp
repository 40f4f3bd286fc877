#include "framework/dialog.h"

#include <windowsx.h>
#undef SubclassWindow  // windowsx.h names a macro like our member

#include "framework/app.h"

CDialogEx::CDialogEx(UINT templateId, HWND parent) : m_templateId(templateId), m_hParent(parent) {}

CDialogEx::~CDialogEx() {
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        HWND window = m_hWnd;
        UnsubclassWindow();
        ::DestroyWindow(window);
    }
}

INT_PTR CDialogEx::DoModal() {
    // 1. Create the window from the template; WM_INITDIALOG binds it to this object.
    HRSRC found = ::FindResourceW(AfxInstance(), MAKEINTRESOURCEW(m_templateId), reinterpret_cast<LPCWSTR>(RT_DIALOG));
    HGLOBAL loaded = found ? ::LoadResource(AfxInstance(), found) : nullptr;
    auto* dialogTemplate = loaded ? static_cast<LPCDLGTEMPLATEW>(::LockResource(loaded)) : nullptr;
    if (!dialogTemplate) return -1;
    ended_ = false;
    result_ = IDCANCEL;
    HWND owner = m_hParent && ::IsWindowEnabled(m_hParent) ? m_hParent : nullptr;
    HWND window = ::CreateDialogIndirectParamW(AfxInstance(), dialogTemplate, m_hParent, &CDialogEx::DialogProc,
                                               reinterpret_cast<LPARAM>(this));
    if (!window) return -1;
    // 2. Disable the owner while the dialog runs, as a modal dialog does.
    if (owner) ::EnableWindow(owner, FALSE);
    if (!ended_ && (::GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) == 0) ::ShowWindow(window, SW_SHOWNORMAL);
    // 3. The loop: every message passes PreTranslateMessage first.
    MSG msg{};
    while (!ended_ && ::IsWindow(window)) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0) break;
        if (WalkPreTranslateTree(window, &msg) || PreTranslateMessage(&msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    // 4. Give the owner its input back before the window goes, so it gets activated.
    if (owner) ::EnableWindow(owner, TRUE);
    if (::IsWindow(window)) {
        ::SetWindowPos(window, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ::DestroyWindow(window);
    }
    if (owner) ::SetActiveWindow(owner);
    return result_;
}

void CDialogEx::EndDialog(INT_PTR result) {
    result_ = result;
    ended_ = true;
    if (m_hWnd) ::PostMessageW(m_hWnd, WM_NULL, 0, 0);  // wakes the loop
}

bool CDialogEx::UpdateData(bool saveAndValidate) {
    CDataExchange exchange(m_hWnd, saveAndValidate);
    DoDataExchange(&exchange);
    return true;
}

BOOL CDialogEx::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    ended_ = true;
    return ::DestroyWindow(m_hWnd);
}

BOOL CDialogEx::PreTranslateMessage(MSG* msg) {
    if (!m_hWnd) return FALSE;
    if (msg->hwnd == m_hWnd || ::IsChild(m_hWnd, msg->hwnd)) return ::IsDialogMessageW(m_hWnd, msg);
    return FALSE;
}

LRESULT CDialogEx::Default() { return DefWindowProc(m_currentMessage, m_currentWParam, m_currentLParam); }

LRESULT CDialogEx::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    UINT savedMessage = m_currentMessage;
    WPARAM savedW = m_currentWParam;
    LPARAM savedL = m_currentLParam;
    m_currentMessage = message;
    m_currentWParam = wParam;
    m_currentLParam = lParam;
    LRESULT result = 0;
    switch (message) {
        case WM_COMMAND:
            if (!OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) result = Default();
            break;
        case WM_TIMER:
            OnTimer(wParam);
            break;
        case WM_SIZE:
            result = Default();
            OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
            break;
        case WM_PAINT:
            OnPaint();
            break;
        case WM_ERASEBKGND:
            result = OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG: {
            HBRUSH brush = OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), message);
            result = brush ? reinterpret_cast<LRESULT>(brush) : Default();
            break;
        }
        case WM_LBUTTONDOWN:
            OnLButtonDown(static_cast<UINT>(wParam), POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            break;
        case WM_MOUSEMOVE:
            OnMouseMove(static_cast<UINT>(wParam), POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            break;
        case WM_SETCURSOR:
            result = OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam));
            break;
        case WM_QUERYDRAGICON:
            result = reinterpret_cast<LRESULT>(OnQueryDragIcon());
            break;
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
            result = ReflectOwnerDraw(message, lParam) ? TRUE : Default();
            break;
        default:
            result = Default();
    }
    m_currentMessage = savedMessage;
    m_currentWParam = savedW;
    m_currentLParam = savedL;
    return result;
}

void CDialogEx::DoDataExchange(CDataExchange*) {}
BOOL CDialogEx::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}
void CDialogEx::OnOK() {
    UpdateData(true);
    EndDialog(IDOK);
}
void CDialogEx::OnCancel() { EndDialog(IDCANCEL); }

bool CDialogEx::OnCommand(UINT id, UINT, HWND) {
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

void CDialogEx::OnTimer(UINT_PTR) { Default(); }
void CDialogEx::OnSize(UINT, int, int) {}
void CDialogEx::OnPaint() { Default(); }
BOOL CDialogEx::OnEraseBkgnd(HDC) { return static_cast<BOOL>(Default()); }
HBRUSH CDialogEx::OnCtlColor(HDC, HWND, UINT) { return nullptr; }
void CDialogEx::OnLButtonDown(UINT, POINT) { Default(); }
void CDialogEx::OnMouseMove(UINT, POINT) { Default(); }
BOOL CDialogEx::OnSetCursor(HWND, UINT, UINT) { return static_cast<BOOL>(Default()); }
HCURSOR CDialogEx::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }

void CDialogEx::StartCaptionDrag() {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::PostMessageW(m_hWnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(cursor.x, cursor.y));
}

INT_PTR CALLBACK CDialogEx::DialogProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) return FALSE;
    auto* self = reinterpret_cast<CDialogEx*>(lParam);
    self->SubclassWindow(window);
    BOOL focusDefault = self->OnInitDialog();
    return focusDefault;
}
