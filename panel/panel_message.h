// One message of a menu flow or a dialog, through the panel's message dialog.
#pragma once
#include <windows.h>

#include <string>

// Shows the message dialog modally over `parent` (none: on its own); IDOK or IDCANCEL.
INT_PTR ShowPanelMessage(int kind, bool showCancel, const std::wstring& title, const std::wstring& text,
                         HWND parent = nullptr);
