#include "framework/wnd.h"

#include <commctrl.h>

#include "framework/menu.h"

namespace {
const UINT_PTR kSubclassId = 0x4F52;  // one id for every window bound by this layer
const wchar_t kObjectProperty[] = L"OrmVex.CWnd";
}  // namespace

CWnd::~CWnd() { UnsubclassWindow(); }

bool CWnd::SubclassDlgItem(int id, HWND parent) { return SubclassWindow(::GetDlgItem(parent, id)); }

bool CWnd::SubclassWindow(HWND window) {
    if (!window || m_hWnd) return false;
    m_hWnd = window;
    PreSubclassWindow();
    ::SetPropW(window, kObjectProperty, this);
    if (!::SetWindowSubclass(window, &CWnd::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        ::RemovePropW(window, kObjectProperty);
        m_hWnd = nullptr;
        return false;
    }
    return true;
}

void CWnd::UnsubclassWindow() {
    if (!m_hWnd) return;
    if (::IsWindow(m_hWnd)) {
        ::RemoveWindowSubclass(m_hWnd, &CWnd::SubclassProc, kSubclassId);
        ::RemovePropW(m_hWnd, kObjectProperty);
    }
    m_hWnd = nullptr;
}

CWnd* CWnd::FromHandle(HWND window) {
    return window ? static_cast<CWnd*>(::GetPropW(window, kObjectProperty)) : nullptr;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message == WM_DRAWITEM || message == WM_MEASUREITEM) && ReflectOwnerDraw(message, lParam)) return TRUE;
    return DefWindowProc(message, wParam, lParam);
}

void CWnd::DrawItem(LPDRAWITEMSTRUCT) {}
void CWnd::MeasureItem(LPMEASUREITEMSTRUCT) {}
void CWnd::PreSubclassWindow() {}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefSubclassProc(m_hWnd, message, wParam, lParam);
}

bool CWnd::ReflectOwnerDraw(UINT message, LPARAM lParam) {
    if (message == WM_DRAWITEM) {
        auto* item = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
        if (item->CtlType == ODT_MENU) {
            CMenu* menu = CMenu::Tracking();
            if (!menu) return false;
            menu->DrawItem(item);
            return true;
        }
        CWnd* control = FromHandle(item->hwndItem);
        if (!control) return false;
        control->DrawItem(item);
        return true;
    }
    auto* item = reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam);
    if (item->CtlType == ODT_MENU) {
        CMenu* menu = CMenu::Tracking();
        if (!menu) return false;
        menu->MeasureItem(item);
        return true;
    }
    CWnd* control = FromHandle(::GetDlgItem(m_hWnd, static_cast<int>(item->CtlID)));
    if (!control) return false;
    control->MeasureItem(item);
    return true;
}

std::wstring CWnd::GetWindowTextW() const {
    int length = ::GetWindowTextLengthW(m_hWnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = ::GetWindowTextW(m_hWnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

void CWnd::SetWindowTextW(const std::wstring& text) { ::SetWindowTextW(m_hWnd, text.c_str()); }

RECT CWnd::GetWindowRect() const {
    RECT r{};
    ::GetWindowRect(m_hWnd, &r);
    return r;
}

RECT CWnd::GetClientRect() const {
    RECT r{};
    ::GetClientRect(m_hWnd, &r);
    return r;
}

LRESULT CALLBACK CWnd::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR data) {
    auto* self = reinterpret_cast<CWnd*>(data);
    if (message == WM_NCDESTROY) {
        LRESULT result = self->WindowProc(message, wParam, lParam);
        ::RemoveWindowSubclass(window, &CWnd::SubclassProc, kSubclassId);
        ::RemovePropW(window, kObjectProperty);
        self->m_hWnd = nullptr;
        return result;
    }
    return self->WindowProc(message, wParam, lParam);
}

BOOL WalkPreTranslateTree(HWND top, MSG* msg) {
    for (HWND h = msg->hwnd; h && h != top; h = ::GetParent(h)) {
        if (CWnd* object = CWnd::FromHandle(h)) {
            if (object->PreTranslateMessage(msg)) return TRUE;
        }
    }
    return FALSE;
}
