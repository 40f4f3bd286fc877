// The information dialog: version, the two management addresses and the
// installation directory, each address and the directory with a copy button.
#pragma once
#include <string>

#include "panel/dialog_frame.h"

class CDialogShow : public CDialogFrame {
public:
    CDialogShow(HWND parent = nullptr);
    ~CDialogShow() override;

    BOOL PreTranslateMessage(MSG* msg) override;

    std::wstring Version;
    std::wstring OuterAddress;
    std::wstring LocalAddress;
    std::wstring InstallFolder;

protected:
    void DoDataExchange(CDataExchange* exchange) override;
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;

    void FillControls() override;
    std::vector<int> BodyFontControls() const override;
    std::vector<std::pair<int, std::wstring>> CopyButtons() const override;
    COLORREF TextColour(int id) const override;
    bool ShowsHandCursor(int id) const override;

private:
    void CopyText(const std::wstring& text);
    bool tooltipActive_ = false;
};
