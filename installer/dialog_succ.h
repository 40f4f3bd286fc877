// The last window of an interactive run: the management address, a click area that
// opens the local address and one that copies the public address.
#pragma once
#include <string>

#include "foundation/controls/button_st.h"
#include "foundation/controls/hover_button.h"
#include "foundation/unique_handle.h"
#include "framework/dialog.h"
#include "installer/proportional_layout.h"

class CDialogSucc : public CDialogEx {
public:
    CDialogSucc(std::string localAddress, std::string publicAddress);
    ~CDialogSucc() override;

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnSize(UINT type, int width, int height) override;
    BOOL OnEraseBkgnd(HDC dc) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    BOOL OnSetCursor(HWND window, UINT hitTest, UINT message) override;

private:
    void OpenPanel();
    void CopyAddress();

    std::string localAddress_;
    std::string publicAddress_;
    UniqueBitmap background_;
    UniqueBrush backgroundBrush_;
    UniqueBrush whiteBrush_;
    CHoverButton closeButton_;
    CButtonST openButton_;
    CProportionalLayout layout_;
};
