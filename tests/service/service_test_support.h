// Helpers of the service tests: running a program and capturing its output, the
// installation-like folder inside the prefix, and reading the control manager and
// the registry directly (never through the classes under test).
#pragma once
#include <windows.h>

#include <chrono>
#include <string>

namespace service_testing {

// The folder the tests install programs into, as an installation would.
constexpr char kInstallFolder[] = "C:\\OrmVex\\";

// Copies a program of the test build into kInstallFolder (created when missing),
// under its own name or the given one; returns the full path.
std::string InstallProgram(const std::string& builtName, const std::string& installedName = std::string());

struct RunResult {
    bool started = false;
    DWORD exitCode = 0;
    std::string output;  // standard output and standard error, as bytes
};
// Runs the command line hidden, waits at most the deadline and captures its output.
RunResult RunCaptured(const std::string& commandLine,
                      std::chrono::milliseconds deadline = std::chrono::milliseconds(60000));
// Starts the command line and returns its process handle (caller closes), or null.
HANDLE StartProcess(const std::string& commandLine);

// The current state of a service, 0 when it cannot be queried.
DWORD ServiceState(const std::string& name);
// State, process id and Win32 exit code of a service; all zero when it cannot be queried.
SERVICE_STATUS_PROCESS ServiceProcessStatus(const std::string& name);
bool WaitForServiceState(const std::string& name, DWORD state,
                         std::chrono::milliseconds deadline = std::chrono::milliseconds(20000));
bool StartServiceNamed(const std::string& name);
bool ControlServiceNamed(const std::string& name, DWORD code);
bool DeleteServiceNamed(const std::string& name);
// QueryServiceConfigA fields; false when the service cannot be read.
struct ServiceConfig {
    DWORD startType = 0;
    DWORD errorControl = 0;
    DWORD serviceType = 0;
    std::string imagePath;
    std::string account;
};
bool ReadServiceConfig(const std::string& name, ServiceConfig& config);

// Registry values under HKEY_LOCAL_MACHINE; type receives the stored type.
bool ReadRegistryValue(const std::string& key, const std::string& value, DWORD& type, std::string& data);
bool ReadRegistryNumber(const std::string& key, const std::string& value, DWORD& number);
bool WriteRegistryNumber(const std::string& key, const std::string& value, DWORD number);


}  // namespace service_testing
