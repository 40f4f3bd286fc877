#include "tools/ormvex/standin_service.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "foundation/unique_handle.h"

namespace {

const char kServiceName[] = "ormvex";
// What the service control manager is told to wait for while starting or stopping.
constexpr DWORD kPendingWaitHint = 3000;

SERVICE_STATUS_HANDLE g_statusHandle = nullptr;
HANDLE g_stopEvent = nullptr;  // owned by ServiceMain's UniqueHandleKernel
DWORD g_checkPoint = 0;

std::string OwnProgramPath() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

void ReportState(DWORD state, DWORD exitCode) {
    SERVICE_STATUS status{};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
    status.dwWin32ExitCode = exitCode == 0 ? NO_ERROR : ERROR_SERVICE_SPECIFIC_ERROR;
    status.dwServiceSpecificExitCode = exitCode;
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

void WINAPI ServiceMain(DWORD, char**) {
    g_statusHandle = ::RegisterServiceCtrlHandlerExA(kServiceName, ControlHandler, nullptr);
    if (!g_statusHandle) return;
    UniqueHandleKernel stopEvent(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    g_stopEvent = stopEvent.get();
    ReportState(SERVICE_START_PENDING, 0);
    ReportState(SERVICE_RUNNING, 0);
    ::WaitForSingleObject(g_stopEvent, INFINITE);
    ReportState(SERVICE_STOPPED, 0);
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
