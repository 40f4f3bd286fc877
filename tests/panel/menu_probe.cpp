// Loaded into a running panel by the tests: writes the texts of the tray menu that
// is open at this moment into C:\menu_texts.txt (UTF-8, one "id<TAB>text" line per
// entry), then unloads itself. The entries are owner-drawn, so their texts live only
// in the panel's item objects, which no other process can ask for.
#include <windows.h>

#include <string>

#include "foundation/controls/xp_menu.h"

namespace {

const UINT kGetMenuHandle = 0x01E1;  // MN_GETHMENU
HMODULE self = nullptr;

std::string Utf8(const std::wstring& wide) {
    int size = ::WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                     nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), bytes.data(), size, nullptr,
                          nullptr);
    return bytes;
}

BOOL CALLBACK FindMenuWindow(HWND window, LPARAM data) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    if (owner != ::GetCurrentProcessId() || std::wstring(name) != L"#32768" || !::IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(data) = window;
    return FALSE;
}

DWORD WINAPI Probe(LPVOID) {
    HWND menuWindow = nullptr;
    ::EnumWindows(FindMenuWindow, reinterpret_cast<LPARAM>(&menuWindow));
    std::string lines;
    HMENU menu = menuWindow ? reinterpret_cast<HMENU>(::SendMessageW(menuWindow, kGetMenuHandle, 0, 0)) : nullptr;
    int count = menu ? ::GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_DATA | MIIM_ID | MIIM_FTYPE;
        if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        auto* item = reinterpret_cast<const CXPMenuItem*>(info.dwItemData);
        if (!item || item->m_marker != CXPMenuItem::kMarker) continue;
        lines += std::to_string(info.wID) + "\t" + (item->m_separator ? std::string("-") : Utf8(item->m_text)) + "\n";
    }
    HANDLE file = ::CreateFileA("C:\\menu_texts.txt.part", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        ::WriteFile(file, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr);
        ::CloseHandle(file);
        ::MoveFileExA("C:\\menu_texts.txt.part", "C:\\menu_texts.txt", MOVEFILE_REPLACE_EXISTING);
    }
    ::FreeLibraryAndExitThread(self, 0);
    return 0;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        self = instance;
        HANDLE thread = ::CreateThread(nullptr, 0, Probe, nullptr, 0, nullptr);
        if (thread) ::CloseHandle(thread);
    }
    return TRUE;
}
