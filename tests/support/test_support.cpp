#include "support/test_support.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "foundation/com_ptr.h"
#include "foundation/text.h"
#include "foundation/unique_handle.h"

#include <thread>
#include <vector>

namespace testing_support {

ScratchFolder::ScratchFolder() {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    static LONG counter = 0;
    const LONG n = ::InterlockedIncrement(&counter);
    path_ = std::string(temp) + "ormvex_test_" + std::to_string(::GetCurrentProcessId()) + "_" + std::to_string(n) +
            "_" + std::to_string(::GetTickCount()) + "\\";
    ::CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    std::string from = path_.substr(0, path_.size() - 1);
    from.push_back('\0');  // the shell wants a double zero at the end
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    ::SHFileOperationA(&op);
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds deadline,
             std::chrono::milliseconds interval) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (true) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(interval);
    }
}

// Win32 calls rather than C++ streams: the C runtime would not read a narrow path as GBK.
std::string ReadFileText(const std::string& path) {
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes;
    if (!file) return bytes;
    char chunk[65536];
    DWORD read = 0;
    while (::ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0) bytes.append(chunk, read);
    return bytes;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

bool FileExists(const std::string& path) {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

UniqueHandleKernel StartProgram(const std::string& commandLine) {
    std::string line = commandLine;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return UniqueHandleKernel();
    UniqueHandleKernel thread(info.hThread);
    return UniqueHandleKernel(info.hProcess);
}

bool LoadIntoProcess(DWORD processId, const std::string& libraryPath) {
    // LoadLibraryW returns once the library's DllMain has run.
    constexpr DWORD kLoadLimitMs = 10000;
    UniqueHandleKernel process(::OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId));
    if (!process) return false;
    std::wstring path(libraryPath.begin(), libraryPath.end());
    SIZE_T bytes = (path.size() + 1) * sizeof(wchar_t);
    void* remote = ::VirtualAllocEx(process.get(), nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote || !::WriteProcessMemory(process.get(), remote, path.c_str(), bytes, nullptr)) return false;
    auto load = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "LoadLibraryW")));
    UniqueHandleKernel thread(::CreateRemoteThread(process.get(), nullptr, 0, load, remote, 0, nullptr));
    if (!thread) return false;
    // The path stays while a load that outlasted the limit may still read it.
    if (::WaitForSingleObject(thread.get(), kLoadLimitMs) == WAIT_OBJECT_0)
        ::VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
    return true;
}

bool SaveScreenshot(HWND window, const std::string& name) {
    RECT r{};
    ::GetWindowRect(window, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return false;
    ::CreateDirectoryA("C:\\screenshots", nullptr);
    HDC screen = ::GetDC(nullptr);
    UniqueDC memory(::CreateCompatibleDC(screen));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    UniqueBitmap picture(::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    HGDIOBJ old = ::SelectObject(memory.get(), picture.get());
    ::BitBlt(memory.get(), 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    ::GdiFlush();
    ::SelectObject(memory.get(), old);
    ::ReleaseDC(nullptr, screen);
    const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    const DWORD imageSize = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageSize;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(BITMAPINFOHEADER));
    bytes.append(static_cast<const char*>(bits), imageSize);
    return WriteFileBytes("C:\\screenshots\\" + name + ".bmp", bytes);
}

std::string TestProgramFolder() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.rfind('\\') + 1);
}

bool ReadShellLink(const std::string& linkPath, ShellLinkFields& fields) {
    ComInit com;
    ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.PutVoid())))
        return false;
    ComPtr<IPersistFile> file;
    if (FAILED(link.As(file)) || FAILED(file->Load(GbkToWide(linkPath).c_str(), STGM_READ))) return false;
    wchar_t text[MAX_PATH] = {};
    link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
    fields.target = text;
    link->GetArguments(text, MAX_PATH);
    fields.arguments = text;
    link->GetDescription(text, MAX_PATH);
    fields.description = text;
    link->GetIconLocation(text, MAX_PATH, &fields.iconIndex);
    fields.icon = text;
    link->GetWorkingDirectory(text, MAX_PATH);
    fields.workingFolder = text;
    return true;
}

bool RunsOnWine() { return ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

std::string ClipboardText() {
    std::string text;
    if (!::OpenClipboard(nullptr)) return text;
    if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(::GlobalLock(data))) {
            text = bytes;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

void ClearClipboard() {
    if (!::OpenClipboard(nullptr)) return;
    ::EmptyClipboard();
    ::CloseClipboard();
}

}  // namespace testing_support
