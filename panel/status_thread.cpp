// The status thread: the signal files every 500 ms, the engine's state every 2.5 s.
#include "foundation/files.h"
#include "channel/engine_endpoint.h"
#include "panel/ormvex_panel_dlg.h"
#include "panel/panel_values.h"
#include "resources/panel/resource.h"

namespace {
const DWORD kPassMs = 500;
const int kPassesPerCheck = 4;  // a check in every fifth pass, the first about 2 s after start
}  // namespace

DWORD WINAPI COrmVexPanelDlg::StatusThread(LPVOID parameter) {
    auto* window = static_cast<COrmVexPanelDlg*>(parameter);
    const std::string showFile = ProgramFolder() + "config\\showpanel.txt";
    const std::string quitFile = ProgramFolder() + "config\\quitpanel.txt";
    // 1. Signals left from before the start are ignored.
    if (FileExistsReal(showFile)) DeleteFileForce(showFile);
    if (FileExistsReal(quitFile)) DeleteFileForce(quitFile);
    // 2. The loop.
    int counter = 0;
    while (!window->Quitting) {
        if (counter >= kPassesPerCheck) {
            window->CheckSystemState();
            counter = 0;
        } else {
            ++counter;
        }
        if (FileExistsReal(showFile)) {
            DeleteFileForce(showFile);
            if (!window->SuppressInfo) window->ShowInformation();
            DeleteFileForce(showFile);
        }
        if (FileExistsReal(quitFile)) window->QuitOnSignal();
        ::Sleep(kPassMs);
    }
    // 3.
    return 0;
}

void COrmVexPanelDlg::QuitOnSignal() {
    DeleteFileForce(ProgramFolder() + "config\\quitpanel.txt");
    Quitting = 1;
    trayIcon.Remove();
    CDialogEx::OnOK();
    ::ExitProcess(0);
}

void COrmVexPanelDlg::CheckSystemState() {
    // 1. A waiting request owns the channel; its answer decides soon enough.
    if (channel.RequestBusy()) return;
    // 2. The state.
    if (IsEngineReachable()) {
        std::string unusual = StatusReader.ReadString("unusual", "ORMVEX");
        SystemState = unusual.empty() ? kStateOn : unusual == "1" ? kStateOff : kStateAbnormal;
    } else {
        SystemState = kStateAbnormal;
    }
    // 3. The icon, at every check.
    static const UINT icons[] = {IDI_TRAY_ON, IDI_TRAY_OFF, IDI_TRAY_ABNORMAL};
    if (trayIcon.IsAdded()) trayIcon.SetIconById(icons[SystemState]);
}
