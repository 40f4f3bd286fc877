// Steps of the product's life that the main job and the life-cycle scenario share:
// a new installation through the installer's windows, the panel it leaves in the
// tray, the engine's services, and installers carrying another payload.
#pragma once
#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

namespace lifecycle_testing {

using namespace std::chrono_literals;

// Every program started from now on in this prefix, and the programs those start,
// land on the desktop "shell" with its taskbar and notification area, as on a
// server's logon desktop; this thread moves there too.
bool UseShellDesktop();

struct InstallSeen {
    std::wstring question;      // the confirmation the installer asked
    std::string shownAddress;   // what the success dialog shows, GBK
    bool installerEnded = false;
};
// A new installation into `folder` through the installer's windows: the folder
// typed, the agreement ticked, the question answered with OK, the success dialog
// read and closed. Saves the screenshots `shots` + "setup_dialog" and
// `shots` + "success_dialog".
void InstallThroughTheWindows(const std::wstring& folder, const std::string& shots, InstallSeen* seen);

// Ids of the running processes with this program file name (any letter case).
std::vector<DWORD> ProcessIds(const char* programName);
// The one panel process, once there is exactly one; 0 after the limit.
DWORD WaitSinglePanel(std::chrono::milliseconds limit = 30s);

// Copies OrmVexInstall.exe of the test build to `target` with the zip archive
// `payloadZip` as its payload.
bool MakeInstallerWithPayload(const std::string& payloadZip, const std::string& target);
// Runs an installer with "update" and waits for it to end by itself.
bool RunUnattendedUpgrade(const std::string& installer, std::chrono::milliseconds limit);

// Presses a button of another process's dialog as a click does.
void Click(HWND dialog, int id);

// The texts below the installation folder that tell an installation's state.
std::string IniText(const std::string& file, const char* section, const char* key);

}  // namespace lifecycle_testing
