// The worker of one installation run and what it shares with the setup dialog. The
// run is held by both sides, so a worker that the user abandons by closing the
// dialog never writes into a dialog that is gone.
#pragma once
#include <windows.h>

#include <atomic>
#include <memory>

#include "installer/install_steps.h"

// Posted to the setup dialog by the worker; the dialog then hides itself by timer 2.
constexpr UINT kHideSetupMessage = WM_APP + 1;

struct CInstallRun {
    InstallInputs inputs;
    HWND setupDialog = nullptr;
    std::atomic<int> m_nState{0};  // 1 running, 2 failed, 3 succeeded
    std::atomic<int> m_bBusy{0};   // 1 while the worker runs
};

// The thread entry; `argument` is a heap-held std::shared_ptr<CInstallRun>, which the
// thread takes over.
DWORD WINAPI InstallThreadProc(LPVOID argument);

// Starts the worker; false when the thread could not be created.
bool StartInstallThread(const std::shared_ptr<CInstallRun>& run);
