// The panel's notification-area icon.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <mutex>
#include <string>

class CTrayIcon {
public:
    static constexpr UINT kIconId = 134;
    static constexpr UINT kCallbackMessage = 0x464;  // WM_USER + 100; lParam carries the mouse event

    CTrayIcon();
    virtual ~CTrayIcon();
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    bool Create(HWND owner, const std::wstring& tip, HICON icon);
    void SetIconById(UINT resourceId);
    // Removes the icon when it is shown; a second call does nothing.
    void Remove();
    bool IsAdded() const { return added_; }

private:
    NOTIFYICONDATAW data_{};
    bool added_ = false;
    HWND owner_ = nullptr;
    std::mutex lock_;  // the status thread changes the icon while the window thread may remove it
};
