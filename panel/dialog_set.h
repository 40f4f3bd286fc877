// The access settings dialog: the local and the external address of the management
// site, each with a copy button, and the choice to allow access from this machine
// only. The tray item "访问设置" runs it through ChangeAccessSettings.
#pragma once
#include <string>

#include "panel/dialog_frame.h"

class COrmVexPanelDlg;

class CDialogSet : public CDialogFrame {
public:
    CDialogSet(HWND parent = nullptr);
    ~CDialogSet() override;

    int OnlyLocalBox = 0;
    std::wstring LocalAddress;
    std::wstring OuterAddress;

protected:
    void DoDataExchange(CDataExchange* exchange) override;
    void OnOK() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind) override;

    void FillControls() override;
    std::vector<int> BodyFontControls() const override;
    std::vector<std::pair<int, std::wstring>> CopyButtons() const override;
    COLORREF TextColour(int id) const override;
    bool ShowsHandCursor(int id) const override;

private:
    void CopyAddress(const std::wstring& address);
    UniqueBrush whiteBrush_;
};

// Menu item 32792: fetch the addresses and the restriction, run the dialog, send the
// new restriction.
void ChangeAccessSettings(COrmVexPanelDlg& window);
