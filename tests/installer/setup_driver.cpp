#include "setup_driver.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <vector>

#include "channel/engine_channel.h"
#include "foundation/scramble.h"
#include "foundation/text.h"
#include "installer/address_lookup.h"
#include "support/test_support.h"

namespace setup_testing {

namespace {

constexpr char kInstaller[] = "OrmVexInstall.exe";
constexpr char kSetupFolder[] = "C:\\setup\\";
constexpr char kAddressService[] = "address_service.exe";

// A built program copied into the prefix: the build folder may be reachable only
// through a long "unix" path, which a command line does not carry well.
std::string CopiedProgram(const char* name) {
    std::string source = testing_support::TestProgramFolder();
    if (source.compare(0, 5, "unix\\") == 0) source = "\\\\?\\" + source;
    ::CreateDirectoryA(kSetupFolder, nullptr);
    const std::string program = std::string(kSetupFolder) + name;
    EXPECT_TRUE(::CopyFileA((source + name).c_str(), program.c_str(), FALSE)) << name;
    return program;
}

template <typename T>
bool ReadRemote(HANDLE process, const void* address, T& value) {
    SIZE_T read = 0;
    return ::ReadProcessMemory(process, address, &value, sizeof value, &read) && read == sizeof value;
}

std::vector<HWND> ProcessDialogs(DWORD processId) {
    struct Search {
        DWORD id;
        std::vector<HWND> found;
    } search{processId, {}};
    ::EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            wchar_t name[16] = {};
            ::GetClassNameW(window, name, 16);
            if (owner == s->id && ::IsWindowVisible(window) && std::wstring(name) == L"#32770")
                s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

std::wstring SetupTitle() { return L"Orm·防入侵集群系统 - V1.1.0"; }

// GetWindowText gives only the caption of another process's window; an edit
// control's text comes with WM_GETTEXT.
std::wstring Text(HWND window) {
    constexpr UINT kAnswerLimitMs = 5000;
    wchar_t text[2048] = {};
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, kAnswerLimitMs,
                          &copied);
    return text;
}

std::wstring ChildText(HWND window, int id) { return Text(::GetDlgItem(window, id)); }

std::string Gbk(const std::wstring& text) {
    int size = ::WideCharToMultiByte(936, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(936, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

std::string RecordPath() {
    char folder[MAX_PATH] = {};
    ::GetWindowsDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\ormvex.db";
}

void WriteRecord(const std::string& appPath) {
    ASSERT_TRUE(::WritePrivateProfileStringA("ormvex", "apppath", appPath.c_str(), RecordPath().c_str()));
}

std::string ReadRecord(const std::string& key) {
    char value[512] = {};
    ::GetPrivateProfileStringA("ormvex", key.c_str(), "", value, sizeof value, RecordPath().c_str());
    return value;
}

void PrepareInstallation(const std::string& folder, const std::string& version) {
    ::CreateDirectoryA(folder.c_str(), nullptr);
    ::CreateDirectoryA((folder + "config").c_str(), nullptr);
    ::CreateDirectoryA((folder + "log").c_str(), nullptr);
    ASSERT_TRUE(::WritePrivateProfileStringA("ORMVEX", "curr_version", version.c_str(),
                                             (folder + "config\\cache.ini").c_str()));
    ASSERT_TRUE(testing_support::WriteFileBytes(folder + "ormvex.exe", "MZ old engine"));
}

std::string UpdateLog(const std::string& folder) { return testing_support::ReadFileText(folder + "log\\update.log"); }

DWORD ServiceState(const char* name) {
    UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    UniqueServiceHandle service(::OpenServiceA(manager.get(), name, SERVICE_QUERY_STATUS));
    SERVICE_STATUS status{};
    return service && ::QueryServiceStatus(service.get(), &status) ? status.dwCurrentState : 0;
}

std::string EngineLocalUrl(const std::string& folder) {
    std::string answer;
    CEngineChannel(folder).SendEngineCommand("geturl", "", answer);
    return TextBetween(answer, "<localurl>", "</localurl>");
}

bool SaveScreenshot(HWND window, const std::string& name) {
    // The window and its children paint before the picture is taken.
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ::SetForegroundWindow(window);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    return testing_support::SaveScreenshot(window, name);
}

void PressButton(HWND dialog, int id) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

void ClickControl(HWND dialog, int id) {
    HWND control = ::GetDlgItem(dialog, id);
    RECT r{};
    ::GetClientRect(control, &r);
    LPARAM centre = MAKELPARAM(r.right / 2, r.bottom / 2);
    ::PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    ::PostMessageW(control, WM_LBUTTONUP, 0, centre);
}

std::wstring RunningCommandLine(const std::wstring& programName) {
    UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    DWORD id = 0;
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more && !id; more = ::Process32NextW(snapshot.get(), &entry))
        if (_wcsicmp(entry.szExeFile, programName.c_str()) == 0) id = entry.th32ProcessID;
    if (!id) return std::wstring();
    UniqueHandleKernel process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id));
    PROCESS_BASIC_INFORMATION basic{};
    ULONG size = 0;
    if (!process || ::NtQueryInformationProcess(process.get(), ProcessBasicInformation, &basic, sizeof basic, &size) != 0)
        return std::wstring();
    PEB peb{};
    RTL_USER_PROCESS_PARAMETERS parameters{};
    if (!ReadRemote(process.get(), basic.PebBaseAddress, peb) ||
        !ReadRemote(process.get(), peb.ProcessParameters, parameters))
        return std::wstring();
    std::wstring line(parameters.CommandLine.Length / sizeof(wchar_t), L'\0');
    SIZE_T read = 0;
    if (!::ReadProcessMemory(process.get(), parameters.CommandLine.Buffer, line.data(), parameters.CommandLine.Length,
                             &read))
        return std::wstring();
    return line;
}

AddressService::AddressService(const std::string& answer) : answer_(answer) {
    const std::string program = CopiedProgram(kAddressService);
    process_ = testing_support::StartProgram("\"" + program + "\" --ip " + answer);
    EXPECT_TRUE(process_) << program;
}

AddressService::~AddressService() {
    if (process_) {
        ::TerminateProcess(process_.get(), 0);
        ::WaitForSingleObject(process_.get(), 5000);
    }
}

bool AddressService::WaitAnswering(std::chrono::milliseconds limit) const {
    const std::wstring address = CStringUtil().MultiToWide(Unscrambled(scrambled::kAddressServiceUrl));
    return testing_support::WaitFor(
        [&] {
            std::string body;
            return HttpGet(address, body) && body == "<ip>" + answer_ + "</ip>";
        },
        limit, 200ms);
}

SetupRun::SetupRun(const std::string& arguments) {
    const std::string program = CopiedProgram(kInstaller);
    std::string line = program;
    if (!arguments.empty()) line += " " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    EXPECT_TRUE(::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, kSetupFolder, &startup,
                                 &process));
    UniqueHandleKernel thread(process.hThread);
    process_.reset(process.hProcess);
    id_ = process.dwProcessId;
}

SetupRun::~SetupRun() {
    if (process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(process_.get(), 99);
        ::WaitForSingleObject(process_.get(), 5000);
    }
}

HWND SetupRun::WaitSetupWindow(std::chrono::milliseconds limit) {
    HWND found = nullptr;
    testing_support::WaitFor(
        [&] {
            for (HWND window : ProcessDialogs(id_))
                if (Text(window) == SetupTitle() && ::GetDlgItem(window, kPathField)) found = window;
            return found != nullptr;
        },
        limit);
    return found;
}

MessageBoxSeen SetupRun::WaitMessageBox(std::chrono::milliseconds limit) {
    MessageBoxSeen seen;
    testing_support::WaitFor(
        [&] {
            for (HWND window : ProcessDialogs(id_))
                if (::GetDlgItem(window, kMessageText)) seen.window = window;
            return seen.window != nullptr;
        },
        limit);
    if (seen.window) {
        seen.title = ChildText(seen.window, kTitleLine);
        seen.text = ChildText(seen.window, kMessageText);
        seen.cancelShown = ::IsWindowVisible(::GetDlgItem(seen.window, IDCANCEL)) != FALSE;
    }
    return seen;
}

HWND SetupRun::WaitSuccessDialog(std::chrono::milliseconds limit) {
    HWND found = nullptr;
    testing_support::WaitFor(
        [&] {
            for (HWND window : ProcessDialogs(id_))
                if (::GetDlgItem(window, kAddressField)) found = window;
            return found != nullptr;
        },
        limit);
    return found;
}

bool SetupRun::WaitExit(std::chrono::milliseconds limit) {
    return ::WaitForSingleObject(process_.get(), static_cast<DWORD>(limit.count())) == WAIT_OBJECT_0;
}

void SetupRun::Kill() {
    ::TerminateProcess(process_.get(), 99);
    ::WaitForSingleObject(process_.get(), 5000);
}

bool SetupRun::IsRunning() const { return ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

}  // namespace setup_testing
