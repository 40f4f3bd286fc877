// Icon button with flat hot tracking, an optional copy of the parent's pixels as its
// background, and a tooltip. The dialogs show only an icon on it.
#pragma once
#include <windows.h>

#include <string>

#include "foundation/unique_handle.h"
#include "framework/tooltip.h"
#include "framework/wnd.h"

class CButtonST : public CWnd {
public:
    // Special second icons: derived from the first as a grey-scale or a darker copy.
    static constexpr int kGreyIcon = -2;
    static constexpr int kDarkerIcon = -3;
    enum ColourIndex { kFaceOut, kTextOut, kFaceIn, kTextIn, kFaceFocus, kTextFocus, kColourCount };

    CButtonST();
    ~CButtonST() override;

    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;

    // The button owns the icons it is given. `outside` may be null, kGreyIcon or kDarkerIcon.
    void SetIcon(HICON inside, INT_PTR outside = 0);
    void SetTooltipText(const std::wstring& text);
    // The dialogs' icon buttons: only the icon shows, on the dialog's own background,
    // without border or text; the tip says what the button does.
    void ShowIconOnly(HICON icon, const std::wstring& tip);
    void DrawTransparent(bool on) { transparent_ = on; }
    void DrawBorder(bool on) { drawBorder_ = on; }
    void SetFlat(bool on) { flat_ = on; }
    bool IsHot() const { return hot_; }

protected:
    void PreSubclassWindow() override;
    virtual void DrawFace(HDC dc, const RECT& rect, bool focused, bool pressed);
    virtual void DrawFrame(HDC dc, const RECT& rect, bool focused, bool pressed);
    virtual void DrawIconImage(HDC dc, const RECT& rect, bool pressed, bool disabled, bool hasText);
    virtual void DrawBitmapImage(HDC dc, const RECT& rect, bool pressed, bool disabled);
    virtual void DrawCaption(HDC dc, const RECT& rect, bool pressed, bool disabled, const std::wstring& text);

private:
    void PaintTransparentCopy(HDC dc, const RECT& rect);
    COLORREF FaceColour(bool focused) const;
    COLORREF TextColour(bool focused) const;

    bool flat_ = true;
    bool drawBorder_ = true;
    bool transparent_ = false;
    bool wasDefault_ = false;
    bool hot_ = false;
    POINT pressedOffset_{1, 1};
    int margin_ = 3;  // between image, text and edges
    COLORREF colours_[kColourCount]{};
    UniqueIcon iconIn_;
    UniqueIcon iconOut_;
    SIZE iconSize_{0, 0};
    UniqueBitmap background_;  // the parent's pixels under the button
    CToolTipCtrl tooltip_;
};
