// Moves values between a dialog's controls and its members, in either direction.
#pragma once
#include <windows.h>

#include <string>

class CDataExchange {
public:
    CDataExchange(HWND dialog, bool saveAndValidate) : m_hDialog(dialog), m_bSaveAndValidate(saveAndValidate) {}
    HWND m_hDialog;
    bool m_bSaveAndValidate;  // true: controls to members
};

void DDX_Text(CDataExchange* exchange, int id, std::wstring& value);
void DDX_Check(CDataExchange* exchange, int id, int& value);
