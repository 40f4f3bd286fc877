// The change-port dialog: one edit field with the management site's port. The tray
// item "更改端口" runs it through ChangePort.
#pragma once
#include <string>

#include "panel/dialog_frame.h"

class COrmVexPanelDlg;

class CDialogEditPort : public CDialogFrame {
public:
    CDialogEditPort(HWND parent = nullptr);
    ~CDialogEditPort() override;

    std::wstring PortInput;

protected:
    void DoDataExchange(CDataExchange* exchange) override;
    void OnOK() override;

    void FillControls() override;
    std::vector<int> BodyFontControls() const override;
    bool ShowsHandCursor(int id) const override;
};

// A port typed or received as text, read the way the C library's text-to-integer
// conversion reads it: leading white space, a sign, digits up to the first other
// character; 0 without digits; the 32-bit range saturates.
long PortNumber(const std::string& text);
// 1 to 65535.
bool IsUsablePort(long port);

// Menu item 32787: fetch the port, run the dialog, send the new port.
void ChangePort(COrmVexPanelDlg& window);
