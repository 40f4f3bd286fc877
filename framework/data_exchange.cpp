#include "framework/data_exchange.h"

void DDX_Text(CDataExchange* exchange, int id, std::wstring& value) {
    HWND control = ::GetDlgItem(exchange->m_hDialog, id);
    if (!control) return;
    if (!exchange->m_bSaveAndValidate) {
        ::SetWindowTextW(control, value.c_str());
        return;
    }
    int length = ::GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = ::GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    value = text;
}

void DDX_Check(CDataExchange* exchange, int id, int& value) {
    HWND control = ::GetDlgItem(exchange->m_hDialog, id);
    if (!control) return;
    if (exchange->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageW(control, BM_GETCHECK, 0, 0));
    else
        ::SendMessageW(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}
