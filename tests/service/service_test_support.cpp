#include "service/service_test_support.h"

#include <vector>

#include "foundation/text.h"
#include "foundation/unique_handle.h"
#include "support/test_support.h"

namespace service_testing {

std::string InstallProgram(const std::string& builtName, const std::string& installedName) {
    ::CreateDirectoryA(kInstallFolder, nullptr);
    const std::string target = std::string(kInstallFolder) + (installedName.empty() ? builtName : installedName);
    ::CopyFileA((testing_support::TestProgramFolder() + builtName).c_str(), target.c_str(), FALSE);
    return target;
}

HANDLE StartProcess(const std::string& commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info{};
    std::string line = commandLine;
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return nullptr;
    UniqueHandleKernel thread(info.hThread);
    return info.hProcess;
}

RunResult RunCaptured(const std::string& commandLine, std::chrono::milliseconds deadline) {
    RunResult result;
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    UniqueHandleKernel readEnd, writeEnd;
    if (!::CreatePipe(readEnd.put(), writeEnd.put(), &inherit, 0)) return result;
    ::SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = nullptr;
    startup.hStdOutput = writeEnd.get();
    startup.hStdError = writeEnd.get();
    PROCESS_INFORMATION info{};
    std::string line = commandLine;
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info))
        return result;
    UniqueHandleKernel process(info.hProcess), thread(info.hThread);
    writeEnd.reset();  // the pipe ends when the child's copy closes
    result.started = true;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(readEnd.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0) result.output.append(buffer, got);
    ::WaitForSingleObject(process.get(), static_cast<DWORD>(deadline.count()));
    ::GetExitCodeProcess(process.get(), &result.exitCode);
    return result;
}

namespace {

UniqueServiceHandle OpenService(const std::string& name, DWORD access) {
    UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) return UniqueServiceHandle();
    return UniqueServiceHandle(::OpenServiceA(manager.get(), name.c_str(), access));
}

}  // namespace

DWORD ServiceState(const std::string& name) {
    UniqueServiceHandle service = OpenService(name, SERVICE_QUERY_STATUS);
    SERVICE_STATUS status{};
    if (!service || !::QueryServiceStatus(service.get(), &status)) return 0;
    return status.dwCurrentState;
}

SERVICE_STATUS_PROCESS ServiceProcessStatus(const std::string& name) {
    UniqueServiceHandle service = OpenService(name, SERVICE_QUERY_STATUS);
    SERVICE_STATUS_PROCESS status{};
    DWORD needed = 0;
    if (service)
        ::QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof status,
                               &needed);
    return status;
}

bool WaitForServiceState(const std::string& name, DWORD state, std::chrono::milliseconds deadline) {
    return testing_support::WaitFor([&] { return ServiceState(name) == state; }, deadline);
}

bool StartServiceNamed(const std::string& name) {
    UniqueServiceHandle service = OpenService(name, SERVICE_START);
    return service && ::StartServiceA(service.get(), 0, nullptr);
}

bool ControlServiceNamed(const std::string& name, DWORD code) {
    UniqueServiceHandle service = OpenService(name, SERVICE_ALL_ACCESS);
    SERVICE_STATUS status{};
    return service && ::ControlService(service.get(), code, &status);
}

bool DeleteServiceNamed(const std::string& name) {
    UniqueServiceHandle service = OpenService(name, DELETE);
    return service && ::DeleteService(service.get());
}

bool ReadServiceConfig(const std::string& name, ServiceConfig& config) {
    UniqueServiceHandle service = OpenService(name, SERVICE_QUERY_CONFIG);
    if (!service) return false;
    std::vector<BYTE> buffer(8192);
    auto* raw = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
    DWORD needed = 0;
    if (!::QueryServiceConfigA(service.get(), raw, static_cast<DWORD>(buffer.size()), &needed)) return false;
    config.startType = raw->dwStartType;
    config.errorControl = raw->dwErrorControl;
    config.serviceType = raw->dwServiceType;
    config.imagePath = raw->lpBinaryPathName ? raw->lpBinaryPathName : "";
    config.account = raw->lpServiceStartName ? raw->lpServiceStartName : "";
    return true;
}

bool ReadRegistryValue(const std::string& key, const std::string& value, DWORD& type, std::string& data) {
    UniqueHKey handle;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE, handle.put()) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    if (::RegQueryValueExA(handle.get(), value.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    data.assign(size, '\0');
    if (::RegQueryValueExA(handle.get(), value.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS)
        return false;
    data.resize(size);
    return true;
}

bool ReadRegistryNumber(const std::string& key, const std::string& value, DWORD& number) {
    DWORD type = 0;
    std::string data;
    if (!ReadRegistryValue(key, value, type, data) || type != REG_DWORD || data.size() != sizeof(DWORD)) return false;
    memcpy(&number, data.data(), sizeof(number));
    return true;
}

bool WriteRegistryNumber(const std::string& key, const std::string& value, DWORD number) {
    UniqueHKey handle;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, handle.put(),
                          nullptr) != ERROR_SUCCESS)
        return false;
    return ::RegSetValueExA(handle.get(), value.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                            sizeof(number)) == ERROR_SUCCESS;
}


}  // namespace service_testing
