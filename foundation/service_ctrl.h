// A thin wrapper around the service control manager. Services are never created
// here: a service registers itself when its program runs with "/i", which
// StartOrStop can do as its first step. Every call opens and closes its own handles.
#pragma once
#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

// How the stop form waits for the service to reach the stopped state: the panel keeps
// its windows painting meanwhile, the watchdog just sleeps.
enum class StopWait { Plain, PumpMessages };

// What the failure actions say: restart at once after every failure, never reset.
struct FailureActionsPlan {
    DWORD resetPeriod = 0;
    std::vector<SC_ACTION> actions;
};
FailureActionsPlan RestartOnFailurePlan();

class CServiceCtrl {
public:
    // Results of the stop form.
    static constexpr int kStopFailed = 0;    // the service could not be opened or queried
    static constexpr int kStopped = 1;       // it is in the stopped state now
    static constexpr int kStopTimedOut = 2;  // it did not stop within kStopWaitLimit
    // A service that never reaches the stopped state must not hold an installer or
    // the panel for ever; 30 s is beyond the 20 s that Windows itself grants a service
    // to stop at shutdown.
    static constexpr std::chrono::milliseconds kStopWaitLimit{30000};
    static constexpr std::chrono::milliseconds kStopPollInterval{100};
    // The service program's own "/i" run gets this long before the service is opened.
    static constexpr DWORD kInstallerSettleMs = 1000;

    virtual ~CServiceCtrl() = default;

    int SetStartType(const std::string& name, DWORD startType);
    int RemoveService(const std::string& name);
    // Start form: the result of starting (0 also when it runs already). Stop form: one
    // of kStopFailed, kStopped, kStopTimedOut.
    int StartOrStop(const std::string& name, bool start, const std::string& installerPath, bool runInstallerFirst,
                    StopWait wait = StopWait::Plain);
    int SetRestartOnFailure(const std::string& name);
    int ServiceExists(const std::string& name);
    // Executable path, lower-cased, without quotes and arguments; empty on failure.
    std::string GetServiceImagePath(const std::string& name, std::string& account);
    int IsServiceRunning(const std::string& name);
};
