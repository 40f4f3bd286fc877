#include "foundation/service_ctrl.h"

#include <shellapi.h>

#include <thread>

#include "foundation/files.h"
#include "foundation/text.h"
#include "foundation/unique_handle.h"

namespace {

// Standard rights plus query and change configuration, query status, enumerate
// dependents, start and stop.
constexpr DWORD kConfigureAccess = 0xF003F;
constexpr char kActiveDatabase[] = "ServicesActive";
constexpr DWORD kAutomaticStart = SERVICE_AUTO_START;
constexpr std::size_t kConfigBufferSize = 4096;
constexpr int kRestartActionCount = 3;

UniqueServiceHandle OpenManager(const char* database, DWORD access) {
    return UniqueServiceHandle(::OpenSCManagerA(nullptr, database, access));
}

UniqueServiceHandle OpenNamed(const UniqueServiceHandle& manager, const std::string& name, DWORD access) {
    if (!manager) return UniqueServiceHandle();
    return UniqueServiceHandle(::OpenServiceA(manager.get(), name.c_str(), access));
}

// Waits until the service reports the stopped state; a failed query ends the wait.
int WaitUntilStopped(const UniqueServiceHandle& service, StopWait wait) {
    const auto deadline = std::chrono::steady_clock::now() + CServiceCtrl::kStopWaitLimit;
    SERVICE_STATUS status{};
    while (true) {
        if (!::QueryServiceStatus(service.get(), &status)) return CServiceCtrl::kStopFailed;
        if (status.dwCurrentState == SERVICE_STOPPED) return CServiceCtrl::kStopped;
        if (std::chrono::steady_clock::now() >= deadline) return CServiceCtrl::kStopTimedOut;
        if (wait == StopWait::PumpMessages) PumpMessages();
        std::this_thread::sleep_for(CServiceCtrl::kStopPollInterval);
    }
}

// Cuts an unquoted command line at its first argument; a quoted one at its closing quote.
std::string BareImagePath(const std::string& commandLine) {
    std::string path = commandLine;
    if (path[0] != '"') {
        for (const char* marker : {" -", " /"}) {
            const std::size_t at = path.find(marker);
            if (at != std::string::npos) path.erase(at);
        }
        return path;
    }
    path.erase(0, 1);
    const std::size_t closing = path.find('"');
    if (closing != std::string::npos) path.erase(closing);
    return path;
}

bool EndsWith(const std::string& text, const std::string& ending) {
    return text.size() >= ending.size() && text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

}  // namespace

FailureActionsPlan RestartOnFailurePlan() {
    FailureActionsPlan plan;
    plan.resetPeriod = 0;
    plan.actions.assign(kRestartActionCount, SC_ACTION{SC_ACTION_RESTART, 0});
    return plan;
}

int CServiceCtrl::SetStartType(const std::string& name, DWORD startType) {
    if (name.empty()) return 0;
    UniqueServiceHandle manager = OpenManager(nullptr, SC_MANAGER_ALL_ACCESS);
    UniqueServiceHandle service = OpenNamed(manager, name, kConfigureAccess);
    if (!service) return 0;
    return ::ChangeServiceConfigA(service.get(), SERVICE_NO_CHANGE, startType, SERVICE_ERROR_IGNORE, nullptr, nullptr,
                                  nullptr, nullptr, nullptr, nullptr, nullptr)
               ? 1
               : 0;
}

int CServiceCtrl::RemoveService(const std::string& name) {
    UniqueServiceHandle manager = OpenManager(kActiveDatabase, SC_MANAGER_ALL_ACCESS);
    UniqueServiceHandle service = OpenNamed(manager, name, SERVICE_ALL_ACCESS);
    if (!service) return 0;
    return ::DeleteService(service.get()) ? 1 : 0;
}

int CServiceCtrl::StartOrStop(const std::string& name, bool start, const std::string& installerPath,
                              bool runInstallerFirst, StopWait wait) {
    // 1. Let the service program register itself.
    if (runInstallerFirst && FileExistsReal(installerPath)) {
        ::ShellExecuteA(nullptr, "open", installerPath.c_str(), "/i", "", SW_HIDE);
        ::Sleep(kInstallerSettleMs);
    }
    // 2. The service with full access, queried once.
    UniqueServiceHandle manager = OpenManager(kActiveDatabase, SC_MANAGER_ALL_ACCESS);
    UniqueServiceHandle service = OpenNamed(manager, name, SERVICE_ALL_ACCESS);
    SERVICE_STATUS status{};
    if (service) ::QueryServiceStatus(service.get(), &status);
    // 3. Start form.
    if (start) {
        SetStartType(name, kAutomaticStart);
        UniqueServiceHandle starter = OpenNamed(manager, name, GENERIC_EXECUTE | SERVICE_START);
        if (!starter) return 0;
        return ::StartServiceA(starter.get(), 0, nullptr) ? 1 : 0;
    }
    // 4. Stop form; the wait reads the state through the full-access handle, since
    //    the stopping handle carries no query right.
    if (!service) return kStopFailed;
    UniqueServiceHandle stopper = OpenNamed(manager, name, GENERIC_EXECUTE | SERVICE_STOP);
    if (stopper) ::ControlService(stopper.get(), SERVICE_CONTROL_STOP, &status);
    return WaitUntilStopped(service, wait);
}

int CServiceCtrl::SetRestartOnFailure(const std::string& name) {
    if (name.empty()) return 0;
    UniqueServiceHandle manager = OpenManager(nullptr, SC_MANAGER_ALL_ACCESS);
    UniqueServiceHandle service = OpenNamed(manager, name, kConfigureAccess);
    if (!service) return 0;
    FailureActionsPlan plan = RestartOnFailurePlan();
    SERVICE_FAILURE_ACTIONSA actions{};
    actions.dwResetPeriod = plan.resetPeriod;
    actions.lpRebootMsg = nullptr;
    actions.lpCommand = nullptr;
    actions.cActions = static_cast<DWORD>(plan.actions.size());
    actions.lpsaActions = plan.actions.data();
    return ::ChangeServiceConfig2A(service.get(), SERVICE_CONFIG_FAILURE_ACTIONS, &actions) ? 1 : 0;
}

int CServiceCtrl::ServiceExists(const std::string& name) {
    if (name.empty()) return 0;
    UniqueServiceHandle manager = OpenManager(kActiveDatabase, SC_MANAGER_ALL_ACCESS);
    return OpenNamed(manager, name, SERVICE_QUERY_STATUS) ? 1 : 0;
}

std::string CServiceCtrl::GetServiceImagePath(const std::string& name, std::string& account) {
    // 1. Enumerate and query-configuration rights are enough.
    UniqueServiceHandle manager = OpenManager(nullptr, SC_MANAGER_ENUMERATE_SERVICE);
    UniqueServiceHandle service = OpenNamed(manager, name, SERVICE_QUERY_CONFIG);
    if (!service) return std::string();
    // 2. The configuration, in a zeroed buffer.
    std::vector<BYTE> buffer(kConfigBufferSize, 0);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
    DWORD needed = 0;
    if (!::QueryServiceConfigA(service.get(), config, static_cast<DWORD>(buffer.size()), &needed)) return std::string();
    // 3. The command line, lower-cased.
    std::string commandLine = config->lpBinaryPathName ? config->lpBinaryPathName : "";
    ToLowerInPlace(commandLine);
    if (commandLine.empty()) return std::string();
    // 4. A local account loses its ".\".
    std::string startName = config->lpServiceStartName ? config->lpServiceStartName : "";
    if (startName.compare(0, 2, ".\\") == 0) startName.erase(0, 2);
    account = startName;
    // 5. and 6. The bare executable path.
    std::string path = BareImagePath(commandLine);
    if (path.size() > 3 && !EndsWith(path, ".exe")) path += ".exe";
    return path;
}

int CServiceCtrl::IsServiceRunning(const std::string& name) {
    UniqueServiceHandle manager = OpenManager(kActiveDatabase, SC_MANAGER_ALL_ACCESS);
    UniqueServiceHandle service = OpenNamed(manager, name, SERVICE_QUERY_STATUS);
    SERVICE_STATUS status{};
    if (!service || !::QueryServiceStatus(service.get(), &status)) return 0;
    return status.dwCurrentState == SERVICE_RUNNING ? 1 : 0;
}
