// The close button of the dialogs: a four-state bitmap strip (normal, pressed, hot,
// focused) side by side; the button takes the size of one state.
#pragma once
#include "foundation/controls/hover_tracking.h"
#include <windows.h>

#include <string>

#include "foundation/unique_handle.h"
#include "framework/tooltip.h"
#include "framework/wnd.h"

class CHoverButton : public CWnd {
public:
    enum StripImage { kNormal = 0, kPressed = 1, kHot = 2, kFocused = 3, kStripImages = 4 };

    CHoverButton();
    ~CHoverButton() override;

    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;

    bool LoadStrip(UINT bitmapId);
    void SetTooltipText(const std::wstring& text);
    void EnableFocusImage(bool on) { focusImage_ = on; }
    static int ChooseImage(bool selected, bool focused, bool hot, bool focusImage);

protected:
    void PreSubclassWindow() override;

private:
    UniqueBitmap strip_;
    SIZE image_{0, 0};
    HoverTracking hover_;
    bool focusImage_ = true;
    std::wstring tooltipText_;
    CToolTipCtrl tooltip_;
};
