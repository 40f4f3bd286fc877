#include "framework/tooltip.h"

#include <commctrl.h>

#include "framework/app.h"

CToolTipCtrl::~CToolTipCtrl() {
    if (window_ && ::IsWindow(window_)) ::DestroyWindow(window_);
}

bool CToolTipCtrl::Create(HWND owner) {
    if (window_) return true;
    owner_ = owner;
    window_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, AfxInstance(), nullptr);
    return window_ != nullptr;
}

int CToolTipCtrl::GetToolCount() const {
    return window_ ? static_cast<int>(::SendMessageW(window_, TTM_GETTOOLCOUNT, 0, 0)) : 0;
}

void CToolTipCtrl::AddTool(HWND tool, const std::wstring& text, const RECT* rect) {
    if (!window_) return;
    TOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_SUBCLASS;
    info.hwnd = tool;
    info.uId = 1;
    if (rect)
        info.rect = *rect;
    else
        ::GetClientRect(tool, &info.rect);
    info.lpszText = const_cast<wchar_t*>(text.c_str());
    ::SendMessageW(window_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::AddWindowTool(HWND tool, const std::wstring& text) {
    if (!window_) return;
    TOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = owner_;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = const_cast<wchar_t*>(text.c_str());
    ::SendMessageW(window_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::UpdateTipText(HWND tool, const std::wstring& text) {
    if (!window_) return;
    TOOLINFOW info{};
    info.cbSize = sizeof info;
    info.hwnd = tool;
    info.uId = 1;
    info.lpszText = const_cast<wchar_t*>(text.c_str());
    ::SendMessageW(window_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::Activate(bool active) {
    if (window_) ::SendMessageW(window_, TTM_ACTIVATE, active, 0);
}

void CToolTipCtrl::RelayEvent(const MSG* msg) {
    if (window_) ::SendMessageW(window_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
}

void CToolTipCtrl::SetMaxTipWidth(int width) {
    if (window_) ::SendMessageW(window_, TTM_SETMAXTIPWIDTH, 0, width);
}

void CToolTipCtrl::SetDelayTime(DWORD which, int milliseconds) {
    if (window_) ::SendMessageW(window_, TTM_SETDELAYTIME, which, MAKELPARAM(milliseconds, 0));
}

void CToolTipCtrl::SetTipTextColor(COLORREF colour) {
    if (window_) ::SendMessageW(window_, TTM_SETTIPTEXTCOLOR, colour, 0);
}

void CToolTipCtrl::SetTipBkColor(COLORREF colour) {
    if (window_) ::SendMessageW(window_, TTM_SETTIPBKCOLOR, colour, 0);
}

void CToolTipCtrl::SetButtonTip(HWND button, const std::wstring& text) {
    if (!button) return;
    if (!IsCreated()) {
        if (!Create(button)) return;
        Activate(false);
    }
    if (GetToolCount() == 0) AddTool(button, text);
    UpdateTipText(button, text);
    Activate(true);
}
