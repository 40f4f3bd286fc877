// Scoped device contexts and selections, and the loaders that hand out owned GDI
// objects. Memory DCs, fonts, brushes, bitmaps and pens use the owners of
// foundation/unique_handle.h; window DCs are released the way they were obtained.
#pragma once
#include <windows.h>

#include <string>

#include "foundation/unique_handle.h"

// A child drawn transparently over the dialog's pattern brush: the brush origin moves
// so that the child shows the part of the picture that lies under it.
inline void AlignBrushToChild(HDC dc, HWND dialog, HWND child) {
    RECT r{};
    ::GetWindowRect(child, &r);
    POINT origin{r.left, r.top};
    ::ScreenToClient(dialog, &origin);
    ::SetBrushOrgEx(dc, -origin.x, -origin.y, nullptr);
}

class CPaintDC {
public:
    explicit CPaintDC(HWND window) : window_(window) { dc_ = ::BeginPaint(window, &paint_); }
    ~CPaintDC() { ::EndPaint(window_, &paint_); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

class CWindowDC {  // GetDC / ReleaseDC; a null window gives the screen
public:
    explicit CWindowDC(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~CWindowDC() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back at the end of the scope.
class CSelectObject {
public:
    CSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? ::SelectObject(dc, object) : nullptr) {}
    ~CSelectObject() {
        if (old_) ::SelectObject(dc_, old_);
    }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A font of `tenths` tenths of a point on the screen, like the framework's point fonts.
UniqueFont CreatePointFont(int tenths, const std::wstring& face);
UniqueBitmap LoadBitmapResource(UINT id, bool mapSysColors = false);
UniqueIcon LoadIconResource(UINT id, int width = 0, int height = 0);
SIZE BitmapSize(HBITMAP bitmap);
// Copies `bitmap` to (x, y) of `dc`, width x height starting at (sourceX, 0).
void DrawBitmapPart(HDC dc, HBITMAP bitmap, int x, int y, int width, int height, int sourceX = 0);
