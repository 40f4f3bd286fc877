#include "framework/gdi.h"

#include "framework/app.h"

UniqueFont CreatePointFont(int tenths, const std::wstring& face) {
    CWindowDC screen(nullptr);
    // Tenths of a point to pixels: 720 tenths per inch.
    int pixels = ::MulDiv(tenths, ::GetDeviceCaps(screen.get(), LOGPIXELSY), 720);
    LOGFONTW font{};
    font.lfHeight = -pixels;
    font.lfCharSet = DEFAULT_CHARSET;
    face.copy(font.lfFaceName, LF_FACESIZE - 1);
    return UniqueFont(::CreateFontIndirectW(&font));
}

UniqueBitmap LoadBitmapResource(UINT id, bool mapSysColors) {
    UINT flags = LR_DEFAULTCOLOR | (mapSysColors ? LR_LOADMAP3DCOLORS : 0);
    return UniqueBitmap(static_cast<HBITMAP>(
        ::LoadImageW(AfxInstance(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, flags | LR_CREATEDIBSECTION)));
}

UniqueIcon LoadIconResource(UINT id, int width, int height) {
    return UniqueIcon(static_cast<HICON>(
        ::LoadImageW(AfxInstance(), MAKEINTRESOURCEW(id), IMAGE_ICON, width, height, LR_DEFAULTCOLOR)));
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof info, &info)) return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

void DrawBitmapPart(HDC dc, HBITMAP bitmap, int x, int y, int width, int height, int sourceX) {
    if (!bitmap) return;
    UniqueDC memory(::CreateCompatibleDC(dc));
    CSelectObject chosen(memory.get(), bitmap);
    ::BitBlt(dc, x, y, width, height, memory.get(), sourceX, 0, SRCCOPY);
}
