#include "foundation/controls/button_st.h"

#include "framework/gdi.h"

namespace {

SIZE IconSizeFromHotSpot(HICON icon) {
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info)) return SIZE{0, 0};
    UniqueBitmap mask(info.hbmMask);
    UniqueBitmap colour(info.hbmColor);
    return SIZE{static_cast<LONG>(info.xHotspot * 2), static_cast<LONG>(info.yHotspot * 2)};
}

// A grey-scale (or darker) copy of an icon, pixel by pixel on a 32-bit DIB.
HICON DeriveIcon(HICON source, bool grey) {
    ICONINFO info{};
    if (!source || !::GetIconInfo(source, &info)) return nullptr;
    UniqueBitmap mask(info.hbmMask);
    UniqueBitmap colour(info.hbmColor);
    SIZE size = BitmapSize(colour.get());
    if (size.cx <= 0 || size.cy <= 0) return nullptr;
    BITMAPINFO bitmapInfo{};
    bitmapInfo.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bitmapInfo.bmiHeader.biWidth = size.cx;
    bitmapInfo.bmiHeader.biHeight = -size.cy;
    bitmapInfo.bmiHeader.biPlanes = 1;
    bitmapInfo.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    CWindowDC screen(nullptr);
    UniqueBitmap copy(::CreateDIBSection(screen.get(), &bitmapInfo, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!copy) return nullptr;
    ::GetDIBits(screen.get(), colour.get(), 0, static_cast<UINT>(size.cy), bits, &bitmapInfo, DIB_RGB_COLORS);
    auto* pixel = static_cast<BYTE*>(bits);
    for (LONG i = 0; i < size.cx * size.cy; ++i, pixel += 4) {
        if (grey) {
            BYTE level = static_cast<BYTE>((pixel[2] * 30 + pixel[1] * 59 + pixel[0] * 11) / 100);
            pixel[0] = pixel[1] = pixel[2] = level;
        } else {
            for (int c = 0; c < 3; ++c) pixel[c] = static_cast<BYTE>(pixel[c] * 3 / 4);
        }
    }
    ICONINFO made = info;
    made.hbmColor = copy.get();
    made.hbmMask = mask.get();
    return ::CreateIconIndirect(&made);
}

}  // namespace

CButtonST::CButtonST() {
    colours_[kFaceOut] = colours_[kFaceIn] = colours_[kFaceFocus] = ::GetSysColor(COLOR_BTNFACE);
    colours_[kTextOut] = colours_[kTextIn] = colours_[kTextFocus] = ::GetSysColor(COLOR_BTNTEXT);
}

CButtonST::~CButtonST() = default;

void CButtonST::PreSubclassWindow() {
    LONG style = ::GetWindowLongW(m_hWnd, GWL_STYLE);
    wasDefault_ = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    ::SendMessageW(m_hWnd, BM_SETSTYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW, TRUE);
}

BOOL CButtonST::PreTranslateMessage(MSG* msg) {
    if (tooltip_.IsCreated() && msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST) tooltip_.RelayEvent(msg);
    return FALSE;
}

LRESULT CButtonST::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEMOVE: {
            HWND top = ::GetAncestor(m_hWnd, GA_ROOT);
            if (flat_ && !hot_ && ::GetActiveWindow() == top) {
                hot_ = true;
                Invalidate();
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, m_hWnd, 0};
                ::TrackMouseEvent(&track);
            }
            break;
        }
        case WM_MOUSELEAVE:
            hot_ = false;
            Invalidate();
            break;
        case WM_ERASEBKGND:
            return TRUE;  // the owner drawing paints everything
        default:
            break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CButtonST::SetIcon(HICON inside, INT_PTR outside) {
    iconIn_.reset(inside);
    iconSize_ = IconSizeFromHotSpot(inside);
    if (outside == kGreyIcon || outside == kDarkerIcon)
        iconOut_.reset(DeriveIcon(inside, outside == kGreyIcon));
    else
        iconOut_.reset(reinterpret_cast<HICON>(outside));
    if (m_hWnd) Invalidate();
}

void CButtonST::SetTooltipText(const std::wstring& text) {
    tooltip_.SetButtonTip(m_hWnd, text);
}

void CButtonST::ShowIconOnly(HICON icon, const std::wstring& tip) {
    SetIcon(icon);
    DrawTransparent(true);
    DrawBorder(false);
    SetTooltipText(tip);
    ::SetWindowTextW(m_hWnd, L"");
}

COLORREF CButtonST::FaceColour(bool focused) const {
    return focused ? colours_[kFaceFocus] : hot_ ? colours_[kFaceIn] : colours_[kFaceOut];
}
COLORREF CButtonST::TextColour(bool focused) const {
    return focused ? colours_[kTextFocus] : hot_ ? colours_[kTextIn] : colours_[kTextOut];
}

void CButtonST::DrawItem(LPDRAWITEMSTRUCT drawItem) {
    HDC dc = drawItem->hDC;
    RECT rect = drawItem->rcItem;
    bool pressed = (drawItem->itemState & ODS_SELECTED) != 0;
    bool focused = (drawItem->itemState & ODS_FOCUS) != 0;
    bool disabled = (drawItem->itemState & ODS_DISABLED) != 0;
    ::SetBkMode(dc, TRANSPARENT);
    if (transparent_)
        PaintTransparentCopy(dc, rect);
    else
        DrawFace(dc, rect, focused, pressed);
    DrawFrame(dc, rect, focused, pressed);
    std::wstring text = GetWindowTextW();
    if (iconIn_) DrawIconImage(dc, rect, pressed, disabled, !text.empty());
    if (!text.empty()) DrawCaption(dc, rect, pressed, disabled, text);
    if (focused && !flat_) {
        RECT focus = rect;
        ::InflateRect(&focus, -3, -3);
        ::DrawFocusRect(dc, &focus);
    }
}

void CButtonST::PaintTransparentCopy(HDC dc, const RECT& rect) {
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (!background_) {
        HWND parent = ::GetParent(m_hWnd);
        RECT placed = GetWindowRect();
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&placed), 2);
        CWindowDC parentDc(parent);
        background_.reset(::CreateCompatibleBitmap(parentDc.get(), width, height));
        UniqueDC memory(::CreateCompatibleDC(parentDc.get()));
        CSelectObject chosen(memory.get(), background_.get());
        ::BitBlt(memory.get(), 0, 0, width, height, parentDc.get(), placed.left, placed.top, SRCCOPY);
    }
    DrawBitmapPart(dc, background_.get(), rect.left, rect.top, width, height);
}

void CButtonST::DrawFace(HDC dc, const RECT& rect, bool focused, bool) {
    RECT face = rect;
    if (!flat_ && focused) {
        UniqueBrush black(::CreateSolidBrush(RGB(0, 0, 0)));
        ::FrameRect(dc, &face, black.get());
        ::InflateRect(&face, -1, -1);
    }
    UniqueBrush fill(::CreateSolidBrush(FaceColour(focused)));
    ::FillRect(dc, &face, fill.get());
}

void CButtonST::DrawFrame(HDC dc, const RECT& rect, bool, bool pressed) {
    auto line = [dc](int x1, int y1, int x2, int y2, int colourIndex) {
        UniquePen pen(::CreatePen(PS_SOLID, 1, ::GetSysColor(colourIndex)));
        CSelectObject chosen(dc, pen.get());
        ::MoveToEx(dc, x1, y1, nullptr);
        ::LineTo(dc, x2, y2);
    };
    if (pressed) {
        if (flat_) {
            if (drawBorder_) {
                RECT edge = rect;
                ::DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
            }
        } else {
            UniqueBrush shadow(::CreateSolidBrush(::GetSysColor(COLOR_BTNSHADOW)));
            ::FrameRect(dc, &rect, shadow.get());
        }
        return;
    }
    if (!flat_) {
        line(rect.left, rect.bottom - 1, rect.left, rect.top, COLOR_BTNHILIGHT);
        line(rect.left, rect.top, rect.right - 1, rect.top, COLOR_BTNHILIGHT);
        line(rect.left + 1, rect.bottom - 2, rect.left + 1, rect.top + 1, COLOR_3DLIGHT);
        line(rect.left + 1, rect.top + 1, rect.right - 2, rect.top + 1, COLOR_3DLIGHT);
        line(rect.left, rect.bottom - 1, rect.right - 1, rect.bottom - 1, COLOR_3DDKSHADOW);
        line(rect.right - 1, rect.top, rect.right - 1, rect.bottom, COLOR_3DDKSHADOW);
        line(rect.left + 1, rect.bottom - 2, rect.right - 2, rect.bottom - 2, COLOR_BTNSHADOW);
        line(rect.right - 2, rect.top + 1, rect.right - 2, rect.bottom - 1, COLOR_BTNSHADOW);
    } else if (hot_ && drawBorder_) {
        RECT edge = rect;
        ::DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
    }
}

void CButtonST::DrawIconImage(HDC dc, const RECT& rect, bool pressed, bool disabled, bool hasText) {
    HICON icon = (!hot_ && iconOut_) ? iconOut_.get() : iconIn_.get();
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    int x = hasText ? rect.left + margin_ : rect.left + (width - iconSize_.cx) / 2;
    int y = rect.top + (height - iconSize_.cy) / 2;
    if (pressed) {
        x += pressedOffset_.x;
        y += pressedOffset_.y;
    }
    if (disabled) {
        ::DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, x, y, iconSize_.cx, iconSize_.cy,
                     DST_ICON | DSS_DISABLED);
        return;
    }
    // DrawIconEx keeps the icon's alpha channel, so its edges blend into the skin.
    ::DrawIconEx(dc, x, y, icon, iconSize_.cx, iconSize_.cy, 0, nullptr, DI_NORMAL);
}

void CButtonST::DrawBitmapImage(HDC, const RECT&, bool, bool) {}

void CButtonST::DrawCaption(HDC dc, const RECT& rect, bool pressed, bool disabled, const std::wstring& text) {
    RECT area = rect;
    if (iconIn_) area.left += iconSize_.cx + 2 * margin_;
    if (pressed) ::OffsetRect(&area, pressedOffset_.x, pressedOffset_.y);
    HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    CSelectObject chosen(dc, font);
    ::SetTextColor(dc, disabled ? ::GetSysColor(COLOR_GRAYTEXT) : TextColour(false));
    ::DrawTextW(dc, text.c_str(), -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}
