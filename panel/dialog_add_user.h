// The authorization-code dialog: the administrator types the software's code, the
// dialog only checks its length and hands it over in AuthCode. Adding an
// administrator, the temporary switch-off and the uninstall ask through it.
#pragma once
#include <string>

#include "panel/dialog_frame.h"

class CDialogAddUser : public CDialogFrame {
public:
    // Shorter codes are typing slips; whether a longer one is right is the engine's call.
    static constexpr size_t kShortestCode = 2;

    CDialogAddUser(HWND parent = nullptr);
    ~CDialogAddUser() override;

    // The code as typed; on OK it also goes to AuthCode in the system code page.
    std::wstring CodeText;

protected:
    void DoDataExchange(CDataExchange* exchange) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind) override;

    std::vector<int> BodyFontControls() const override;
    bool ShowsHandCursor(int id) const override;
};
