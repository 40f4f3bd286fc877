// Gradient push button with a rounded frame, an orange frame while hot and a blue
// one while focused.
#pragma once
#include "foundation/controls/hover_tracking.h"
#include <windows.h>

#include "foundation/unique_handle.h"
#include "framework/wnd.h"

class CXPButton : public CWnd {
public:
    static constexpr int kBands = 64;

    CXPButton();
    ~CXPButton() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;

    // Colour of band `band` (0..63) for the hot and pressed-look flags.
    static COLORREF BandColour(int band, bool hot, bool pressedLook);
    // Band of pixel row `y` (in button coordinates) in a filled area of height `h`.
    static int RowBand(int y, int h) { return (y * (kBands - 1)) / h; }

protected:
    void PreSubclassWindow() override;

private:
    void DrawFrameLines(HDC dc, const RECT& rect, bool hot);

    UniquePen boundary_;
    UniquePen hotPens_[4];    // left, top, right, bottom
    UniquePen focusPens_[4];  // left, top, right, bottom
    UniqueBrush innerHot_;
    UniqueBrush innerNormal_;
    HoverTracking hover_;
};
