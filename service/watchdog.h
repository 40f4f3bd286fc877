// The engine watchdog: a worker thread that removes a leftover of a replaced
// watchdog program and then, every two seconds, brings the engine service back when
// it does not run.
#pragma once
#include <windows.h>

#include "foundation/unique_handle.h"

class CThread {
public:
    // 1 s before the first look, so the service start itself is not slowed.
    static constexpr DWORD kFirstLookDelayMs = 1000;
    // The two seconds between cycles, slept in slices.
    static constexpr int kCycleSlices = 20;
    static constexpr DWORD kCycleSliceMs = 100;
    // The engine's "/i" run gets this long before the start request.
    static constexpr DWORD kRegisterSettleMs = 500;
    // The started engine must still run after this long for a recovery to count.
    static constexpr DWORD kRecoveryCheckMs = 2000;

    CThread() = default;
    // The worker is never told to stop: it ends here at the latest, at process exit.
    virtual ~CThread();
    CThread(const CThread&) = delete;
    CThread& operator=(const CThread&) = delete;

    bool StartWorker();
    void CheckEngineService();

private:
    UniqueHandleKernel WorkerHandle;
};

DWORD WINAPI WatchdogLoop(LPVOID parameter);
