// The service shell: command-line switches that install, remove and describe the
// service, the connection to the service control manager, the control handler,
// status reports and event records. The work itself lives in a derived class.
#pragma once
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>

#include "foundation/unique_handle.h"

class CNTService {
public:
    // Anything that wants to see the event records as well (the event log of some
    // systems keeps nothing); called for every record, before it is written.
    using EventRecorder = void (*)(WORD type, DWORD id, const char* insertion);
    static void SetEventRecorder(EventRecorder recorder);

    explicit CNTService(const char* name);
    virtual ~CNTService() = default;
    CNTService(const CNTService&) = delete;
    CNTService& operator=(const CNTService&) = delete;

    bool HandleCommandLine(int argc, char** argv);
    bool IsServiceInstalled();
    bool InstallService();
    bool RemoveService();
    bool RunAsService();
    bool InitializeService();
    void ReportState(DWORD state);
    void WriteEvent(WORD type, DWORD id, const char* s1 = nullptr, const char* s2 = nullptr,
                    const char* s3 = nullptr);
    DWORD ExitCode();

    static void WINAPI ServiceEntry(DWORD argc, LPSTR* argv);
    static void WINAPI ControlHandler(DWORD code);

    virtual void Execute();
    virtual bool OnInitialize() { return true; }
    virtual void OnStopRequest() {}
    virtual void OnInterrogateRequest() {}
    virtual void OnPauseRequest() {}
    virtual void OnContinueRequest() {}
    virtual void OnShutdownRequest() {}
    virtual bool OnCustomControl(DWORD /*code*/) { return false; }
    // Work that runs beside Execute once the service has reached the running state.
    virtual void OnRunning() {}

    static constexpr std::size_t kServiceNameSize = 64;
    static constexpr DWORD kBaseLoopMs = 5000;

    char ServiceName[kServiceNameSize] = {};
    int MajorVersion = 1;
    int MinorVersion = 0;
    SERVICE_STATUS_HANDLE StatusHandle = nullptr;
    std::atomic<bool> Running{false};

protected:
    void SetStatusFields(DWORD exitCode);
    void HandleControl(DWORD code);

private:
    std::mutex statusLock_;  // the handler thread and the service thread both report
    SERVICE_STATUS Status{};
    UniqueEventSource EventSource;
    static CNTService* Instance;
    static EventRecorder Recorder;
};
