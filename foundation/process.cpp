#include "foundation/process.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "foundation/files.h"
#include "foundation/unique_handle.h"
#include "foundation/wow64_fs_guard.h"

namespace {

constexpr DWORD kAfterChildMs = 500;         // lets the child's files and services settle
constexpr DWORD kBatchWrittenSettleMs = 100;
constexpr DWORD kAfterBatchMs = 200;

// Starts a command line hidden; the process handle, or none.
UniqueHandleKernel StartHidden(const std::string& commandLine, DWORD flags) {
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    SECURITY_ATTRIBUTES security{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(nullptr, line.data(), &security, &security, FALSE, flags, nullptr, nullptr, &startup,
                          &info))
        return UniqueHandleKernel();
    UniqueHandleKernel thread(info.hThread);
    return UniqueHandleKernel(info.hProcess);
}

}  // namespace

int RunAndWait(const std::string& program, const std::string& parameters) {
    if (!PathIs(program, false)) return 0;
    UniqueHandleKernel process = StartHidden(program + " " + parameters, CREATE_DEFAULT_ERROR_MODE);
    if (!process) return 0;
    ::WaitForSingleObject(process.get(), INFINITE);
    DWORD exitCode = 0;
    const BOOL read = ::GetExitCodeProcess(process.get(), &exitCode);
    process.reset();
    ::Sleep(kAfterChildMs);
    return read ? 1 : 0;
}

int RunBatchText(const std::string& batchPath, const std::string& batchText) {
    WriteTextFile(batchPath, false, false, batchText);
    ::Sleep(kBatchWrittenSettleMs);
    if (!PathIs(batchPath, false)) return 0;
    RunThroughInterpreter("\"" + batchPath + "\"");
    ::Sleep(kAfterBatchMs);
    DeleteFileForce(batchPath);
    return 1;
}

long long OpenWithShell(const std::string& pathOrAddress) {
    if (pathOrAddress.empty()) return 0;
    HINSTANCE result = ::ShellExecuteA(nullptr, "open", pathOrAddress.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return static_cast<long long>(reinterpret_cast<INT_PTR>(result));
}

int CopyToClipboard(const std::string& text) {
    if (!::OpenClipboard(nullptr)) return 0;
    ScopeExit close([] { ::CloseClipboard(); });
    UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE, text.size() + 1));
    if (!memory) return 0;
    void* bytes = ::GlobalLock(memory.get());
    if (!bytes) return 0;
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    ::GlobalUnlock(memory.get());
    ::EmptyClipboard();
    if (!::SetClipboardData(CF_TEXT, memory.get())) return 0;
    memory.release();  // the clipboard owns it now
    return 1;
}

int IsWow64() { return IsWow64Process() ? 1 : 0; }

int RunThroughInterpreter(const std::string& commandLine) {
    const char* comspec = std::getenv("COMSPEC");
    const std::string interpreter = (comspec && *comspec) ? comspec : "cmd.exe";
    UniqueHandleKernel process =
        StartHidden("\"" + interpreter + "\" /c " + commandLine, CREATE_DEFAULT_ERROR_MODE | CREATE_NO_WINDOW);
    if (!process) return 0;
    ::WaitForSingleObject(process.get(), INFINITE);
    return 1;
}
