// The installation itself, run on the installer's worker thread: prepare the folder,
// place the payload, let the engine set itself up, register the services, shortcuts,
// autostart value, firewall rule, start everything and show the success dialog.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

struct InstallInputs {
    std::wstring pathField;     // the installation folder as typed
    bool upgrade = false;
    bool desktopLink = true;
    bool unattended = false;
    std::string logFolder;      // the run's update log is logFolder + "log\update.log"
    HMODULE payloadModule = nullptr;  // null: the installer itself
};

// The parts that belong to the dialog; they run on the worker thread.
struct InstallUi {
    std::function<void(const std::string& text)> showError;
    std::function<void()> hideSetupWindow;
    // Modal; returns when the user closes it.
    std::function<void(const std::string& localAddress, const std::string& publicAddress)> runSuccessDialog;
};

// The management addresses the run found, for the success dialog.
struct InstallAddresses {
    std::string local;
    std::string publicAddress;
};

bool DoInstall(const InstallInputs& inputs, const InstallUi& ui, InstallAddresses& addresses);

// The result line of a run: "升级完成！" for an upgrade.
std::string InstallResultLine(bool upgrade);
