#include "service/nt_service.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "foundation/text.h"

namespace {

constexpr char kServicesKey[] = "SYSTEM\\CurrentControlSet\\Services\\";
constexpr char kEventSourcesKey[] = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\";
constexpr DWORD kTypesSupported = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;
constexpr DWORD kFirstUserControl = 128;

constexpr DWORD kEventInstalled = 100;
constexpr DWORD kEventRemoved = 101;
constexpr DWORD kEventNotRemoved = 102;
constexpr DWORD kEventNoHandler = 103;
constexpr DWORD kEventInitFailed = 104;
constexpr DWORD kEventStarted = 105;
constexpr DWORD kEventBadControl = 106;
constexpr DWORD kEventStopped = 108;

std::string ModulePath() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

// The control manager splits an unquoted image path at its first blank.
std::string CommandLineOf(const std::string& path) {
    return path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
}

bool SetStringValue(HKEY key, const char* name, DWORD type, const std::string& text) {
    return ::RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

UniqueHKey CreateKey(const std::string& path) {
    UniqueHKey key;
    const LONG error = ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                         KEY_SET_VALUE, nullptr, key.put(), nullptr);
    if (error != ERROR_SUCCESS) ::SetLastError(static_cast<DWORD>(error));
    return key;
}

}  // namespace

CNTService* CNTService::Instance = nullptr;
CNTService::EventRecorder CNTService::Recorder = nullptr;

void CNTService::SetEventRecorder(EventRecorder recorder) { Recorder = recorder; }

CNTService::CNTService(const char* name) {
    std::strncpy(ServiceName, name, kServiceNameSize - 1);
    Status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    Status.dwCurrentState = SERVICE_STOPPED;
    Status.dwControlsAccepted = SERVICE_ACCEPT_STOP;
    Instance = this;
}

bool CNTService::HandleCommandLine(int argc, char** argv) {
    if (argc < 2) return false;
    const char* option = argv[1];
    if (_stricmp(option, "-v") == 0 || _stricmp(option, "/v") == 0) {
        std::printf("%s Version %d.%d\n", ServiceName, MajorVersion, MinorVersion);
        std::printf("The service is %s installed\n", IsServiceInstalled() ? "currently" : "not");
        return true;
    }
    if (_stricmp(option, "-i") == 0 || _stricmp(option, "/i") == 0) {
        if (IsServiceInstalled())
            std::printf("%s is already installed\n", ServiceName);
        else if (InstallService())
            std::printf("%s installed\n", ServiceName);
        else
            std::printf("%s failed to install. Error %d\n", ServiceName, static_cast<int>(::GetLastError()));
        return true;
    }
    if (_stricmp(option, "-u") == 0 || _stricmp(option, "/u") == 0) {
        if (!IsServiceInstalled())
            std::printf("%s is not installed\n", ServiceName);
        else if (RemoveService())
            std::printf("%s removed. (You must delete the file (%s) yourself.)\n", ServiceName, ModulePath().c_str());
        else
            std::printf("Could not remove %s. Error %d\n", ServiceName, static_cast<int>(::GetLastError()));
        return true;
    }
    return false;
}

bool CNTService::IsServiceInstalled() {
    UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) return false;
    return static_cast<bool>(UniqueServiceHandle(::OpenServiceA(manager.get(), ServiceName, SERVICE_QUERY_CONFIG)));
}

bool CNTService::InstallService() {
    DWORD error = ERROR_SUCCESS;
    bool installed = false;
    {
        // 1. to 3. The service itself, registered but not started.
        const std::string path = ModulePath();
        UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        UniqueServiceHandle service;
        if (manager)
            service.reset(::CreateServiceA(manager.get(), ServiceName, ServiceName, SERVICE_ALL_ACCESS,
                                           SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                                           CommandLineOf(path).c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
        // 4. and 5. The event source; without it the service stays registered anyway.
        UniqueHKey source = service ? CreateKey(kEventSourcesKey + std::string(ServiceName)) : UniqueHKey();
        error = ::GetLastError();
        if (source) {
            SetStringValue(source.get(), "EventMessageFile", REG_EXPAND_SZ, path);
            const DWORD types = kTypesSupported;
            ::RegSetValueExA(source.get(), "TypesSupported", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&types),
                             sizeof(types));
            // 6. The services console shows the description; a failure is of no matter.
            UniqueHKey serviceKey = CreateKey(kServicesKey + std::string(ServiceName));
            if (serviceKey)
                SetStringValue(serviceKey.get(), "Description", REG_SZ,
                               ToGbk(L"Orm·防入侵集群系统守护进程服务，停止后可能导致系统部分功能异常"));
            // 7.
            WriteEvent(EVENTLOG_INFORMATION_TYPE, kEventInstalled, ServiceName);
            installed = true;
        }
    }
    // The caller prints the error of the failed step, after every handle is closed.
    if (!installed) ::SetLastError(error);
    return installed;
}

bool CNTService::RemoveService() {
    DWORD error = ERROR_SUCCESS;
    bool removed = false;
    {
        UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        UniqueServiceHandle service;
        if (manager) service.reset(::OpenServiceA(manager.get(), ServiceName, DELETE));
        if (!service) {
            error = ::GetLastError();
        } else if (::DeleteService(service.get())) {
            WriteEvent(EVENTLOG_INFORMATION_TYPE, kEventRemoved, ServiceName);
            removed = true;
        } else {
            error = ::GetLastError();
            WriteEvent(EVENTLOG_ERROR_TYPE, kEventNotRemoved, ServiceName);
        }
    }
    if (!removed) ::SetLastError(error);
    return removed;
}

bool CNTService::RunAsService() {
    SERVICE_TABLE_ENTRYA table[] = {{ServiceName, ServiceEntry}, {nullptr, nullptr}};
    return ::StartServiceCtrlDispatcherA(table) != FALSE;
}

void WINAPI CNTService::ServiceEntry(DWORD /*argc*/, LPSTR* /*argv*/) {
    CNTService* service = Instance;
    // 1. Start pending, reported once the handler is known.
    {
        std::lock_guard<std::mutex> lock(service->statusLock_);
        service->Status.dwCurrentState = SERVICE_START_PENDING;
    }
    // 2. Without a handler the control manager times the start out.
    service->StatusHandle = ::RegisterServiceCtrlHandlerA(service->ServiceName, ControlHandler);
    if (!service->StatusHandle) {
        service->WriteEvent(EVENTLOG_ERROR_TYPE, kEventNoHandler);
        return;
    }
    // 3. The work, until a stop request clears Running.
    if (service->InitializeService()) {
        service->Running = true;
        service->SetStatusFields(0);
        service->OnRunning();
        service->Execute();
    }
    // 4.
    service->ReportState(SERVICE_STOPPED);
}

bool CNTService::InitializeService() {
    ReportState(SERVICE_START_PENDING);
    const bool initialised = OnInitialize();
    SetStatusFields(::GetLastError());
    if (initialised) {
        WriteEvent(EVENTLOG_INFORMATION_TYPE, kEventStarted);
        ReportState(SERVICE_RUNNING);
        return true;
    }
    WriteEvent(EVENTLOG_ERROR_TYPE, kEventInitFailed);
    ReportState(SERVICE_STOPPED);
    return false;
}

void CNTService::SetStatusFields(DWORD exitCode) {
    std::lock_guard<std::mutex> lock(statusLock_);
    Status.dwWin32ExitCode = exitCode;
    Status.dwCheckPoint = 0;
    Status.dwWaitHint = 0;
}

DWORD CNTService::ExitCode() {
    std::lock_guard<std::mutex> lock(statusLock_);
    return Status.dwWin32ExitCode;
}

void CNTService::ReportState(DWORD state) {
    std::lock_guard<std::mutex> lock(statusLock_);
    Status.dwCurrentState = state;
    ::SetServiceStatus(StatusHandle, &Status);
}

void WINAPI CNTService::ControlHandler(DWORD code) { Instance->HandleControl(code); }

void CNTService::HandleControl(DWORD code) {
    switch (code) {
        case SERVICE_CONTROL_STOP:
            ReportState(SERVICE_STOP_PENDING);
            OnStopRequest();
            Running = false;
            WriteEvent(EVENTLOG_INFORMATION_TYPE, kEventStopped);
            break;
        case SERVICE_CONTROL_PAUSE:
            OnPauseRequest();
            break;
        case SERVICE_CONTROL_CONTINUE:
            OnContinueRequest();
            break;
        case SERVICE_CONTROL_INTERROGATE:
            OnInterrogateRequest();
            break;
        case SERVICE_CONTROL_SHUTDOWN:
            OnShutdownRequest();
            break;
        default:
            if (code < kFirstUserControl || !OnCustomControl(code)) WriteEvent(EVENTLOG_ERROR_TYPE, kEventBadControl);
            break;
    }
    // Also the answer to an interrogation.
    std::lock_guard<std::mutex> lock(statusLock_);
    ::SetServiceStatus(StatusHandle, &Status);
}

void CNTService::Execute() {
    while (Running) ::Sleep(kBaseLoopMs);
}

void CNTService::WriteEvent(WORD type, DWORD id, const char* s1, const char* s2, const char* s3) {
    const char* strings[] = {s1, s2, s3};
    WORD count = 0;
    for (const char* s : strings) count += s ? 1 : 0;
    if (Recorder) Recorder(type, id, s1);
    if (!EventSource) EventSource.reset(::RegisterEventSourceA(nullptr, ServiceName));
    if (!EventSource) return;
    ::ReportEventA(EventSource.get(), type, 0, id, nullptr, count, 0, strings, nullptr);
}
