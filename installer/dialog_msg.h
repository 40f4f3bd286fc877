// The installer's message box: a picture for the kind of message, a title line, the
// text, and icon buttons for OK and, when asked for, Cancel. Topmost, borderless,
// dragged by any point of its surface.
#pragma once
#include <string>

#include "foundation/controls/button_st.h"
#include "foundation/unique_handle.h"
#include "framework/dialog.h"

class CDialogMsg : public CDialogEx {
public:
    enum Kinds { kInformation = 0, kSuccess = 1, kWarning = 2, kError = 3, kQuestion = 4 };

    explicit CDialogMsg(HWND parent = nullptr);
    ~CDialogMsg() override;

    void SetMessage(int kind, bool showCancel, const std::wstring& title, const std::wstring& text);
    static UINT KindBitmapId(int kind);

protected:
    BOOL OnInitDialog() override;
    BOOL OnEraseBkgnd(HDC dc) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind) override;
    void OnLButtonDown(UINT flags, POINT point) override;

private:
    int kind_ = kInformation;
    bool showCancel_ = false;
    std::wstring title_;
    std::wstring text_;
    UniqueBitmap kindBitmap_;
    UniqueBrush whiteBrush_;
    CButtonST okButton_;
    CButtonST cancelButton_;
};

// Opens the box modally; IDOK (1) or IDCANCEL (2). Texts are GBK.
INT_PTR ShowSetupMessage(HWND parent, int kind, bool showCancel, const std::string& title, const std::string& text);
