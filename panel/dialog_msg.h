// The panel's message box: a title line, an icon for the kind of message, a
// read-only text area and icon buttons for OK and, optionally, Cancel.
#pragma once
#include <string>

#include "foundation/controls/button_st.h"
#include "foundation/unique_handle.h"
#include "framework/dialog.h"

class CDialogMsg : public CDialogEx {
public:
    enum Kinds { kInformation = 0, kSuccess = 1, kWarning = 2, kError = 3, kQuestion = 4 };

    CDialogMsg(HWND parent = nullptr);
    ~CDialogMsg() override;

    void SetMessage(int kind, bool showCancel, const std::wstring& title, const std::wstring& text);
    // The bitmap resource that shows `kind`.
    static UINT KindBitmapId(int kind);

    bool ShowCancel = false;
    int Kind = 0;
    std::wstring Title;
    std::wstring Text;
    UniqueBitmap KindBitmap;
    bool Initialized = false;

protected:
    CDialogMsg(UINT templateId, HWND parent);
    BOOL OnInitDialog() override;
    BOOL OnEraseBkgnd(HDC dc) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    // Shared by both message dialogs: the buttons, the kind icon, topmost display.
    void DressCommonParts();

    CButtonST okButton;
    CButtonST cancelButton;
    UniqueBrush whiteBrush;
};
