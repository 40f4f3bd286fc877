#include "installer/install_thread.h"

#include "foundation/unique_handle.h"
#include "installer/dialog_msg.h"
#include "installer/dialog_succ.h"
#include "foundation/text.h"

namespace {
constexpr int kRunning = 1, kFailed = 2, kSucceeded = 3;

InstallUi WorkerUi(HWND setupDialog) {
    InstallUi ui;
    ui.showError = [](const std::string& text) {
        ShowSetupMessage(nullptr, CDialogMsg::kError, false, ToGbk(L"提示"), text);
    };
    ui.hideSetupWindow = [setupDialog] { ::PostMessageW(setupDialog, kHideSetupMessage, 0, 0); };
    ui.runSuccessDialog = [](const std::string& localAddress, const std::string& publicAddress) {
        CDialogSucc dialog(localAddress, publicAddress);
        dialog.DoModal();
    };
    return ui;
}
}  // namespace

DWORD WINAPI InstallThreadProc(LPVOID argument) {
    std::unique_ptr<std::shared_ptr<CInstallRun>> held(static_cast<std::shared_ptr<CInstallRun>*>(argument));
    CInstallRun& run = **held;
    run.m_bBusy = 1;
    run.m_nState = kRunning;
    InstallAddresses addresses;
    const bool done = DoInstall(run.inputs, WorkerUi(run.setupDialog), addresses);
    run.m_nState = done ? kSucceeded : kFailed;
    run.m_bBusy = 0;
    return 0;
}

bool StartInstallThread(const std::shared_ptr<CInstallRun>& run) {
    auto* argument = new std::shared_ptr<CInstallRun>(run);
    UniqueHandleKernel thread(::CreateThread(nullptr, 0, &InstallThreadProc, argument, 0, nullptr));
    if (!thread) {
        delete argument;
        return false;
    }
    return true;
}
