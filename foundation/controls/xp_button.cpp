#include "foundation/controls/xp_button.h"

#include <string>

#include "framework/gdi.h"

namespace {
const int kCornerEllipse = 5;

HPEN FramePen(COLORREF colour) { return ::CreatePen(PS_INSIDEFRAME, 1, colour); }
}  // namespace

CXPButton::CXPButton()
    : boundary_(FramePen(RGB(135, 128, 202))),
      hotPens_{UniquePen(FramePen(RGB(250, 196, 88))), UniquePen(FramePen(RGB(252, 210, 121))),
               UniquePen(FramePen(RGB(251, 202, 106))), UniquePen(FramePen(RGB(229, 151, 0)))},
      focusPens_{UniquePen(FramePen(RGB(153, 198, 222))), UniquePen(FramePen(RGB(162, 201, 222))),
                 UniquePen(FramePen(RGB(162, 189, 222))), UniquePen(FramePen(RGB(162, 201, 222)))},
      innerHot_(::CreateSolidBrush(RGB(222, 223, 226))),
      innerNormal_(::CreateSolidBrush(RGB(222, 223, 226))) {}

CXPButton::~CXPButton() = default;

void CXPButton::PreSubclassWindow() {
    LONG style = ::GetWindowLongW(m_hWnd, GWL_STYLE);
    ::SendMessageW(m_hWnd, BM_SETSTYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW, TRUE);
}

LRESULT CXPButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    hover_.OnMessage(m_hWnd, message);
    if (message == WM_ERASEBKGND) return TRUE;  // the whole face is painted by DrawItem
    return CWnd::WindowProc(message, wParam, lParam);
}

COLORREF CXPButton::BandColour(int band, bool hot, bool pressedLook) {
    int redGreen = hot ? 255 - band / 4 : 255 - band / 3;
    int blue;
    if (hot)
        blue = pressedLook ? 255 - band / 3 : 255 - band / 5;
    else
        blue = pressedLook ? 255 - band / 4 : 255 - band / 5;
    return RGB(redGreen, redGreen, blue);
}

void CXPButton::DrawItem(LPDRAWITEMSTRUCT drawItem) {
    HDC dc = drawItem->hDC;
    RECT rect = drawItem->rcItem;
    // 1. The rounded outer frame.
    {
        CSelectObject pen(dc, boundary_.get());
        CSelectObject brush(dc, ::GetStockObject(NULL_BRUSH));
        ::RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, kCornerEllipse, kCornerEllipse);
    }
    // 2. Focus and the pressed look.
    bool focused = (drawItem->itemState & ODS_FOCUS) != 0;
    bool pressedLook = focused || (drawItem->itemState & (ODS_SELECTED | ODS_DEFAULT)) != 0;
    // 3. The gradient inside the system's edge.
    RECT inner = rect;
    ::InflateRect(&inner, -::GetSystemMetrics(SM_CXEDGE), -::GetSystemMetrics(SM_CYEDGE));
    int height = inner.bottom - inner.top;
    for (int y = inner.top; y < inner.bottom && height > 0; ++y) {
        int band = RowBand(y, height);
        if (band > kBands - 1) band = kBands - 1;  // the lowest rows keep the last band
        UniqueBrush fill(::CreateSolidBrush(BandColour(band, hover_.Hot(), pressedLook)));
        RECT row{inner.left, y, inner.right, y + 1};
        ::FillRect(dc, &row, fill.get());
    }
    // 4. Hot or focus frame lines.
    if (hover_.Hot() || focused) DrawFrameLines(dc, inner, hover_.Hot());
    // 5. The caption.
    std::wstring text = GetWindowTextW();
    if (text.empty()) return;
    RECT area = rect;
    if (drawItem->itemState & ODS_SELECTED) ::OffsetRect(&area, 1, 1);
    HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    CSelectObject chosenFont(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (drawItem->itemState & ODS_DISABLED)
        ::DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(text.c_str()), 0, area.left, area.top,
                     area.right - area.left, area.bottom - area.top, DST_PREFIXTEXT | DSS_DISABLED);
    else
        ::DrawTextW(dc, text.c_str(), -1, &area, format);
}

void CXPButton::DrawFrameLines(HDC dc, const RECT& r, bool hot) {
    UniquePen* pens = hot ? hotPens_ : focusPens_;
    auto line = [dc](HPEN pen, int x1, int y1, int x2, int y2) {
        CSelectObject chosen(dc, pen);
        ::MoveToEx(dc, x1, y1, nullptr);
        ::LineTo(dc, x2, y2);
    };
    line(pens[0].get(), r.left, r.bottom - 3, r.left, r.top + 2);
    line(pens[2].get(), r.right - 1, r.bottom - 3, r.right - 1, r.top + 2);
    line(pens[1].get(), r.left + 2, r.top, r.right - 2, r.top);
    line(pens[3].get(), r.left + 2, r.bottom, r.right - 2, r.bottom);
}
