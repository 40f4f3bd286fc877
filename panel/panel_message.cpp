#include "panel/panel_message.h"

#include "panel/dialog_msg.h"

INT_PTR ShowPanelMessage(int kind, bool showCancel, const std::wstring& title, const std::wstring& text,
                         HWND parent) {
    CDialogMsg message(parent);
    message.SetMessage(kind, showCancel, title, text);
    return message.DoModal();
}
