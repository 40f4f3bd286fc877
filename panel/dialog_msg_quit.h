// Confirms leaving the tray program, with the box "以后不再显示托盘".
#pragma once
#include "panel/dialog_msg.h"

class CDialogMsgQuit : public CDialogMsg {
public:
    CDialogMsgQuit(HWND parent = nullptr);
    ~CDialogMsgQuit() override;

    void SetQuitMessage(const std::wstring& title, const std::wstring& text);

    UniqueBitmap CheckBitmap;
    bool Ticked = false;

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnOK() override;

private:
    void ShowTick();
};
