#include "installer/proportional_layout.h"

void CProportionalLayout::Record(HWND window) {
    ::GetWindowRect(window, &window_);
    children_.clear();
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        ::GetWindowRect(child, &r);
        children_.push_back(r);
    }
    recorded_ = true;
}

void CProportionalLayout::Apply(HWND window) const {
    if (!recorded_) return;
    RECT now{};
    ::GetWindowRect(window, &now);
    const double w0 = window_.right - window_.left, h0 = window_.bottom - window_.top;
    if (w0 <= 0 || h0 <= 0) return;
    const double w = now.right - now.left, h = now.bottom - now.top;
    auto x = [&](LONG recorded) { return static_cast<LONG>((recorded - window_.left) * w / w0 + now.left); };
    auto y = [&](LONG recorded) { return static_cast<LONG>((recorded - window_.top) * h / h0 + now.top); };
    std::size_t i = 0;
    for (HWND child = ::GetWindow(window, GW_CHILD); child && i < children_.size();
         child = ::GetWindow(child, GW_HWNDNEXT), ++i) {
        const RECT& r = children_[i];
        POINT corners[2] = {{x(r.left), y(r.top)}, {x(r.right), y(r.bottom)}};
        ::ScreenToClient(window, &corners[0]);
        ::ScreenToClient(window, &corners[1]);
        ::MoveWindow(child, corners[0].x, corners[0].y, corners[1].x - corners[0].x, corners[1].y - corners[0].y, TRUE);
    }
}
