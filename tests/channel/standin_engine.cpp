#include "channel/standin_engine.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include "foundation/unique_handle.h"
#include "support/test_support.h"

namespace testing_support {

namespace {

const char kInstallFolder[] = "C:\\ormvex_test\\";
// The service control manager reports a started stand-in running after about a second.
constexpr std::chrono::seconds kServiceStateLimit{15};
constexpr std::chrono::seconds kRegisterLimit{30};

UniqueServiceHandle OpenEngineService(DWORD access) {
    UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) return UniqueServiceHandle();
    return UniqueServiceHandle(::OpenServiceA(manager.get(), "ormvex", access));
}

}  // namespace

int RunProgram(const std::string& commandLine, std::chrono::milliseconds limit, std::string* output) {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    char outputPath[MAX_PATH] = {};
    ::GetTempFileNameA(temp, "run", 0, outputPath);
    {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        UniqueFile outputFile(::CreateFileA(outputPath, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
        startup.wShowWindow = SW_HIDE;
        startup.hStdOutput = outputFile.get();
        startup.hStdError = outputFile.get();
        PROCESS_INFORMATION process{};
        std::string line = commandLine;
        if (!::CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                              &startup, &process)) {
            ::DeleteFileA(outputPath);
            return -1;
        }
        UniqueHandleKernel processHandle(process.hProcess), threadHandle(process.hThread);
        if (::WaitForSingleObject(processHandle.get(), static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0) {
            ::TerminateProcess(processHandle.get(), 1);
            ::DeleteFileA(outputPath);
            return -1;
        }
        DWORD code = 0;
        ::GetExitCodeProcess(processHandle.get(), &code);
        if (output) *output = ReadFileText(outputPath);
        ::DeleteFileA(outputPath);
        return static_cast<int>(code);
    }
}

StandinEngine::StandinEngine() : folder_(kInstallFolder) {
    for (const char* sub : {"", "config", "temp", "http"}) ::CreateDirectoryA((folder_ + sub).c_str(), nullptr);
    const std::string source = TestProgramFolder() + "ormvex.exe";
    EXPECT_TRUE(::CopyFileA(source.c_str(), Program().c_str(), FALSE)) << "cannot copy " << source << " (error " << ::GetLastError() << ")";
}

StandinEngine::~StandinEngine() {
    if (State() != 0 && State() != SERVICE_STOPPED) Stop();
}

int StandinEngine::Register(std::string* output) {
    return RunProgram("\"" + Program() + "\" /i", kRegisterLimit, output);
}

bool StandinEngine::Start() {
    if (!OpenEngineService(SERVICE_QUERY_STATUS) && Register() != 0) return false;
    UniqueServiceHandle service = OpenEngineService(SERVICE_START | SERVICE_QUERY_STATUS);
    if (!service || !::StartServiceA(service.get(), 0, nullptr)) return false;
    return WaitFor([this] { return State() == SERVICE_RUNNING; }, kServiceStateLimit);
}

bool StandinEngine::Stop() {
    UniqueServiceHandle service = OpenEngineService(SERVICE_STOP | SERVICE_QUERY_STATUS);
    if (!service) return false;
    SERVICE_STATUS status{};
    ::ControlService(service.get(), SERVICE_CONTROL_STOP, &status);
    return WaitFor([this] { return State() == SERVICE_STOPPED; }, kServiceStateLimit);
}

DWORD StandinEngine::State() const {
    UniqueServiceHandle service = OpenEngineService(SERVICE_QUERY_STATUS);
    SERVICE_STATUS status{};
    if (!service || !::QueryServiceStatus(service.get(), &status)) return 0;
    return status.dwCurrentState;
}

DWORD StandinEngine::ExitCode() const {
    UniqueServiceHandle service = OpenEngineService(SERVICE_QUERY_STATUS);
    SERVICE_STATUS status{};
    if (!service || !::QueryServiceStatus(service.get(), &status)) return 0;
    return status.dwWin32ExitCode;
}

bool IsEngineProcessRunning() {
    UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot.get(), &entry); more; more = ::Process32Next(snapshot.get(), &entry)) {
        if (::lstrcmpiA(entry.szExeFile, "ormvex.exe") == 0) return true;
    }
    return false;
}

bool StandinEngine::WriteSettings(const std::string& iniText) {
    return WriteFileBytes(folder_ + "config\\standin.ini", iniText);
}

}  // namespace testing_support
