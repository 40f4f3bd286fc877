// The mouse tracking that CHoverButton and CXPButton share: on the first move they
// ask for hover and leave notifications (hover time 1 ms); hover makes the button hot
// and repaints it, leave makes it cold and repaints it without erasing.
#pragma once
#include <windows.h>

class HoverTracking {
public:
    // Call for every message of the button; repaints the button when its look changes.
    void OnMessage(HWND button, UINT message) {
        switch (message) {
            case WM_MOUSEMOVE:
                if (!tracking_) {
                    TRACKMOUSEEVENT track{sizeof track, TME_HOVER | TME_LEAVE, button, kHoverTimeMs};
                    tracking_ = ::TrackMouseEvent(&track) != FALSE;
                }
                break;
            case WM_MOUSEHOVER:
                hot_ = true;
                ::InvalidateRect(button, nullptr, TRUE);
                break;
            case WM_MOUSELEAVE:
                tracking_ = false;
                hot_ = false;
                ::InvalidateRect(button, nullptr, FALSE);
                break;
            default:
                break;
        }
    }
    bool Hot() const { return hot_; }

private:
    static constexpr DWORD kHoverTimeMs = 1;  // hot as soon as the mouse rests on the button
    bool tracking_ = false;
    bool hot_ = false;
};
