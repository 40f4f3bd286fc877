// Keeps a dialog's children where they were relative to the window when the window
// changes its size: every child's edges scale with the window's width and height.
#pragma once
#include <windows.h>

#include <vector>

class CProportionalLayout {
public:
    // The window's rectangle and its children's, in screen coordinates and z-order.
    void Record(HWND window);
    // Moves every child to its recorded place, scaled to the window's current size.
    void Apply(HWND window) const;
    bool IsRecorded() const { return recorded_; }

private:
    bool recorded_ = false;
    RECT window_{};
    std::vector<RECT> children_;
};
