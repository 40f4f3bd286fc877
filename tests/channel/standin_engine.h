// The engine stand-in set up in an installation-like folder of the test's prefix,
// registered and run as the real service "ormvex".
#pragma once
#include <windows.h>

#include <chrono>
#include <string>

namespace testing_support {

// Runs a command line hidden, its output into a file; the exit code, or -1 when
// it could not start or did not end within the limit.
int RunProgram(const std::string& commandLine, std::chrono::milliseconds limit, std::string* output = nullptr);

// True while a process named ormvex.exe exists.
bool IsEngineProcessRunning();

class StandinEngine {
public:
    // Copies ormvex.exe from the test program's folder into a fresh installation
    // folder with its config, temp and http folders.
    StandinEngine();
    // Stops the service when it runs, so that nothing outlives the test.
    ~StandinEngine();
    StandinEngine(const StandinEngine&) = delete;
    StandinEngine& operator=(const StandinEngine&) = delete;

    const std::string& Folder() const { return folder_; }  // ends with a backslash
    std::string Program() const { return folder_ + "ormvex.exe"; }

    // ormvex.exe /i; its exit code.
    int Register(std::string* output = nullptr);
    // Registers when needed, starts the service and waits until it runs.
    bool Start();
    // Stops the service and waits until it has stopped.
    bool Stop();
    // The service's current state (SERVICE_RUNNING, ...), 0 when it cannot be read.
    DWORD State() const;
    // The Win32 exit code that the service last reported.
    DWORD ExitCode() const;
    // Whole content of the stand-in's own settings file, config\standin.ini.
    bool WriteSettings(const std::string& iniText);

private:
    std::string folder_;
};

}  // namespace testing_support
