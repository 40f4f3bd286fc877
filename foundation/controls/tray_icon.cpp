#include "foundation/controls/tray_icon.h"

#include "framework/app.h"

CTrayIcon::CTrayIcon() { data_.cbSize = sizeof data_; }

CTrayIcon::~CTrayIcon() { Remove(); }

bool CTrayIcon::Create(HWND owner, const std::wstring& tip, HICON icon) {
    std::lock_guard<std::mutex> hold(lock_);
    owner_ = owner;
    data_.hWnd = owner;
    data_.uID = kIconId;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data_.uCallbackMessage = kCallbackMessage;
    data_.hIcon = icon;
    size_t room = sizeof data_.szTip / sizeof data_.szTip[0] - 1;
    size_t copied = tip.copy(data_.szTip, room);
    data_.szTip[copied] = L'\0';
    added_ = ::Shell_NotifyIconW(NIM_ADD, &data_) != FALSE;
    return added_;
}

void CTrayIcon::SetIconById(UINT resourceId) {
    // Shared icons stay loaded for the process; the shell keeps its own copy.
    HICON icon = static_cast<HICON>(::LoadImageW(AfxInstance(), MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                                                 ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                                                 LR_SHARED));
    if (!icon) return;
    std::lock_guard<std::mutex> hold(lock_);
    data_.hIcon = icon;
    if (!added_) return;
    data_.uFlags = NIF_ICON;
    ::Shell_NotifyIconW(NIM_MODIFY, &data_);
}

void CTrayIcon::Remove() {
    std::lock_guard<std::mutex> hold(lock_);
    if (!added_) return;
    data_.uFlags = 0;
    ::Shell_NotifyIconW(NIM_DELETE, &data_);
    added_ = false;
}
