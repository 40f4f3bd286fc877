#include "foundation/controls/hover_button.h"

#include "framework/gdi.h"

CHoverButton::CHoverButton() = default;
CHoverButton::~CHoverButton() = default;

void CHoverButton::PreSubclassWindow() {
    LONG style = ::GetWindowLongW(m_hWnd, GWL_STYLE);
    if ((style & BS_TYPEMASK) != BS_OWNERDRAW)
        ::SendMessageW(m_hWnd, BM_SETSTYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW, TRUE);
}

bool CHoverButton::LoadStrip(UINT bitmapId) {
    strip_ = LoadBitmapResource(bitmapId, true);
    // Mapping to the 3-D colours works for palette bitmaps only; others load as they are.
    if (!strip_) strip_ = LoadBitmapResource(bitmapId, false);
    if (!strip_) return false;
    SIZE whole = BitmapSize(strip_.get());
    image_ = SIZE{whole.cx / kStripImages, whole.cy};
    if (m_hWnd)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, image_.cx, image_.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

void CHoverButton::SetTooltipText(const std::wstring& text) {
    if (!m_hWnd) return;
    tooltipText_ = text;
    tooltip_.SetButtonTip(m_hWnd, text);
}

BOOL CHoverButton::PreTranslateMessage(MSG* msg) {
    if (tooltip_.IsCreated() && msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST) tooltip_.RelayEvent(msg);
    return FALSE;
}

LRESULT CHoverButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    hover_.OnMessage(m_hWnd, message);
    return CWnd::WindowProc(message, wParam, lParam);
}

int CHoverButton::ChooseImage(bool selected, bool focused, bool hot, bool focusImage) {
    if (selected) return kPressed;
    if (focused) return focusImage ? kFocused : kPressed;
    if (hot) return kHot;
    return kNormal;
}

void CHoverButton::DrawItem(LPDRAWITEMSTRUCT drawItem) {
    HDC dc = drawItem->hDC;
    int image = ChooseImage((drawItem->itemState & ODS_SELECTED) != 0, (drawItem->itemState & ODS_FOCUS) != 0, hover_.Hot(),
                            focusImage_);
    DrawBitmapPart(dc, strip_.get(), 0, 0, image_.cx, image_.cy, image * image_.cx);
    if (tooltipText_.empty()) return;
    RECT area{0, 0, image_.cx, image_.cy};
    ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextW(dc, tooltipText_.c_str(), -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}
