// The common frame of the panel's working dialogs: a borderless window of a fixed
// pixel size painted with a full-window image, a white title line on its green
// band, the close button and icon buttons, and a layout designed in dialog units
// that is stretched to the image.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/controls/button_st.h"
#include "foundation/controls/hover_button.h"
#include "foundation/unique_handle.h"
#include "framework/dialog.h"
#include "framework/tooltip.h"

class CDialogFrame : public CDialogEx {
public:
    ~CDialogFrame() override;

    // New rectangle of a control recorded at `recorded` in a window recorded at
    // `recordedWindow`, for the window now at `window` (all screen coordinates).
    static RECT ScaledRect(const RECT& recorded, const RECT& recordedWindow, const RECT& window);

protected:
    CDialogFrame(UINT templateId, int width, int height, UINT backgroundId, HWND parent);

    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnSize(UINT type, int width, int height) override;
    BOOL OnEraseBkgnd(HDC dc) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    BOOL OnSetCursor(HWND window, UINT hitTest, UINT message) override;

    // Step 4 of the initialisation: values into members, before they reach the controls.
    virtual void FillControls();
    // Ids of the text controls that take the panel's body font.
    virtual std::vector<int> BodyFontControls() const;
    // Copy buttons: id and tooltip.
    virtual std::vector<std::pair<int, std::wstring>> CopyButtons() const;
    // Text colour of a static control, or -1 for the default.
    virtual COLORREF TextColour(int id) const;
    // Controls over which the cursor becomes a hand.
    virtual bool ShowsHandCursor(int id) const;

    CToolTipCtrl tooltip;
    UniqueBitmap background;
    UniqueBrush backgroundBrush;
    std::vector<RECT> layout;
    CHoverButton closeButton;
    CButtonST okButton;
    CButtonST cancelButton;
    std::vector<std::unique_ptr<CButtonST>> copyButtons;

private:
    void DressButtons();
    int width_;
    int height_;
    UINT backgroundId_;
};
