#include <windows.h>
#include <tlhelp32.h>

#include "foundation/hardware.h"
#include "foundation/scramble.h"
#include "foundation/text.h"
#include "foundation/unique_handle.h"

namespace {

constexpr UINT kTerminatedExitCode = 1;
constexpr char kDebugPrivilege[] = "SeDebugPrivilege";

// Walks a process snapshot; the visitor returns false to stop early. False when the
// snapshot or its first entry cannot be read.
template <typename Visitor>
bool ForEachProcess(Visitor visit) {
    UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    if (!::Process32FirstW(snapshot.get(), &entry)) return false;
    do {
        if (!visit(entry)) break;
    } while (::Process32NextW(snapshot.get(), &entry));
    return true;
}

std::string ModulePath() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

HWND FindTrayToolbar() {
    HWND tray = ::FindWindowA("Shell_TrayWnd", nullptr);
    if (!tray) return nullptr;
    HWND notify = ::FindWindowExA(tray, nullptr, "TrayNotifyWnd", nullptr);
    if (!notify) return nullptr;
    HWND pager = ::FindWindowExA(notify, nullptr, "SysPager", nullptr);
    return ::FindWindowExA(pager ? pager : notify, nullptr, "ToolbarWindow32", nullptr);
}

}  // namespace

int CHardware::IsProcessRunning(const std::string& imageName) {
    if (imageName.empty()) return -1;
    const std::string wanted = LowerCopy(imageName);
    int found = 0;
    const bool listed = ForEachProcess([&](const PROCESSENTRY32W& entry) {
        if (LowerCopy(CStringUtil().WideToMulti(entry.szExeFile)) != wanted) return true;
        found = 1;
        return false;
    });
    return listed ? found : -1;
}

int CHardware::KillProcessByName(const std::string& imageName) {
    if (imageName.empty()) return 0;
    EnableDebugPrivilege();
    const std::wstring wanted = CStringUtil().MultiToWide(LowerCopy(imageName));
    const DWORD self = ::GetCurrentProcessId();
    int result = 0;
    ForEachProcess([&](const PROCESSENTRY32W& entry) {
        const bool sameName = ::CompareStringOrdinal(entry.szExeFile, -1, wanted.c_str(), -1, TRUE) == CSTR_EQUAL;
        if (!sameName || entry.th32ProcessID == self) return true;
        UniqueHandleKernel process(::OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID));
        if (process && ::TerminateProcess(process.get(), kTerminatedExitCode)) result = 1;
        return true;
    });
    return result;
}

int CHardware::EnableDebugPrivilege() {
    UniqueHandleKernel token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put())) return 0;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!::LookupPrivilegeValueA(nullptr, kDebugPrivilege, &privileges.Privileges[0].Luid)) return 0;
    // The call succeeds even when the token lacks the privilege; only the last error tells.
    if (!::AdjustTokenPrivileges(token.get(), FALSE, &privileges, sizeof(privileges), nullptr, nullptr)) return 0;
    return ::GetLastError() == ERROR_SUCCESS ? 1 : 0;
}

int CHardware::RefreshTrayArea() {
    HWND toolbar = FindTrayToolbar();
    if (!toolbar) return 0;
    RECT rect{};
    ::GetWindowRect(toolbar, &rect);
    const int width = rect.right - rect.left;
    const int y = (rect.bottom - rect.top) / 2;
    int sent = 0;
    // The tray belongs to the shell: a shell that does not answer must not hold up
    // the caller (the uninstall refreshes it right after ending processes).
    const UINT kAnswerLimitMs = 100;
    for (int x = 1; x < width; ++x, ++sent) {
        DWORD_PTR result = 0;
        if (!::SendMessageTimeoutA(toolbar, WM_MOUSEMOVE, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, kAnswerLimitMs,
                                   &result))
            break;
    }
    return sent;
}

int CHardware::WriteCleanupBatch(const std::string& batchPath, bool removeExtraPath, const std::string& extraPath) {
    UniqueFile batch(::CreateFileA(batchPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!batch) return 0;
    const std::string removeFile = Unscrambled(scrambled::kCleanupDeleteFileCommand);
    std::string text = "@echo off\r\n";
    text += "@ping -n 2 127.0.0.1 >nul\r\n";  // about one second for the program to end
    text += "\t" + removeFile + " \"" + ModulePath() + "\"\r\n";
    if (removeExtraPath && !extraPath.empty())
        text += "\t" + Unscrambled(scrambled::kCleanupRemovePathCommand) + " \"" + extraPath + "\"\r\n";
    text += "\t" + removeFile + " %0";
    DWORD written = 0;
    ::WriteFile(batch.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return 0;
}
