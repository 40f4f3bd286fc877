#include "tools/ormvex/standin_service.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "foundation/files.h"
#include "foundation/unique_handle.h"
#include "tools/ormvex/channel_server.h"
#include "tools/ormvex/standin_answers.h"
#include "tools/ormvex/standin_settings.h"
#include "tools/ormvex/web_server.h"

namespace {

const char kServiceName[] = "ormvex";
// What the service control manager is told to wait for while starting or stopping.
constexpr DWORD kPendingWaitHint = 3000;
// How often cache.ini is brought up to date and the crash switch looked at.
constexpr DWORD kHousekeepingIntervalMs = 250;
// What the service control manager reports for a service whose process died.
constexpr DWORD kCrashExitCode = ERROR_PROCESS_ABORTED;

SERVICE_STATUS_HANDLE g_statusHandle = nullptr;
HANDLE g_stopEvent = nullptr;  // owned by ServiceMain's UniqueHandleKernel
DWORD g_checkPoint = 0;

std::string OwnProgramPath() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

void ReportState(DWORD state, DWORD win32ExitCode) {
    SERVICE_STATUS status{};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
    status.dwWin32ExitCode = win32ExitCode;
    const bool pending = state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING;
    status.dwWaitHint = pending ? kPendingWaitHint : 0;
    status.dwCheckPoint = pending ? ++g_checkPoint : 0;
    ::SetServiceStatus(g_statusHandle, &status);
}

DWORD WINAPI ControlHandler(DWORD control, DWORD, void*, void*) {
    switch (control) {
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
        ReportState(SERVICE_STOP_PENDING, 0);
        ::SetEvent(g_stopEvent);
        return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
        return NO_ERROR;
    default:
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

struct WorkerStart {
    std::string folder;
    HANDLE stopEvent;
    HANDLE endpoint;
};

DWORD WINAPI ChannelThread(void* parameter) {
    const auto* start = static_cast<const WorkerStart*>(parameter);
    if (start->endpoint == INVALID_HANDLE_VALUE) return 1;
    ServeEngineChannel(start->folder, start->endpoint, start->stopEvent);
    return 0;
}

DWORD WINAPI SiteThread(void* parameter) {
    const auto* start = static_cast<const WorkerStart*>(parameter);
    ServeManagementSite(start->folder, start->stopEvent);
    return 0;
}

// "crash": the service control manager learns of the failure, then the process
// ends without any clean-up, as a crashed engine's would. "1" fails once, so that a
// restarted engine runs again; "2" fails every time.
void CrashWhenAsked(const CStandinSettings& settings) {
    const std::string crash = settings.TestSwitch("crash");
    if (crash != "1" && crash != "2") return;
    if (crash == "1") settings.SetTestSwitch("crash", "0");
    ReportState(SERVICE_STOPPED, kCrashExitCode);
    ::ExitProcess(kCrashExitCode);
}

void WINAPI ServiceMain(DWORD, char**) {
    g_statusHandle = ::RegisterServiceCtrlHandlerExA(kServiceName, ControlHandler, nullptr);
    if (!g_statusHandle) return;
    UniqueHandleKernel stopEvent(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    g_stopEvent = stopEvent.get();
    ReportState(SERVICE_START_PENDING, NO_ERROR);

    // The endpoint exists before the service reports running, so that a client that
    // waited for the running state finds the engine reachable.
    UniqueFile endpoint = OpenEngineEndpoint();
    const WorkerStart start{ModuleFolder(), g_stopEvent, endpoint.get()};
    const CStandinSettings settings(start.folder);
    CreateFolderPath(start.folder + "config\\");
    UpdateCacheIni(settings);
    UniqueHandleKernel channel(::CreateThread(nullptr, 0, ChannelThread, const_cast<WorkerStart*>(&start), 0, nullptr));
    UniqueHandleKernel site(::CreateThread(nullptr, 0, SiteThread, const_cast<WorkerStart*>(&start), 0, nullptr));
    ReportState(SERVICE_RUNNING, NO_ERROR);

    while (::WaitForSingleObject(g_stopEvent, kHousekeepingIntervalMs) == WAIT_TIMEOUT) {
        UpdateCacheIni(settings);
        CrashWhenAsked(settings);
    }
    const HANDLE workers[] = {channel.get(), site.get()};
    ::WaitForMultipleObjects(2, workers, TRUE, INFINITE);
    ReportState(SERVICE_STOPPED, NO_ERROR);
}

}  // namespace

int RegisterStandinService() {
    UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) {
        std::printf("ormvex: the service control manager cannot be opened (error %lu)\n", ::GetLastError());
        return 1;
    }
    // Quoted, so that an installation folder with blanks still names this program.
    const std::string image = "\"" + OwnProgramPath() + "\"";
    UniqueServiceHandle service(::CreateServiceA(manager.get(), kServiceName, kServiceName, SERVICE_ALL_ACCESS,
                                                 SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START,
                                                 SERVICE_ERROR_NORMAL, image.c_str(), nullptr, nullptr, nullptr,
                                                 nullptr, nullptr));
    if (service) {
        std::printf("ormvex: service ormvex registered (%s)\n", image.c_str());
        return 0;
    }
    const DWORD error = ::GetLastError();
    if (error == ERROR_SERVICE_EXISTS) {
        std::printf("ormvex: service ormvex is already registered\n");
        return 0;
    }
    std::printf("ormvex: service ormvex cannot be registered (error %lu)\n", error);
    return 1;
}

int RunStandinService() {
    char name[sizeof kServiceName];
    std::memcpy(name, kServiceName, sizeof kServiceName);
    const SERVICE_TABLE_ENTRYA table[] = {{name, ServiceMain}, {nullptr, nullptr}};
    return ::StartServiceCtrlDispatcherA(table) ? 0 : 1;
}
