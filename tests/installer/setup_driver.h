// Drives the real OrmVexInstall.exe from outside, the way a user does: starts a copy
// of it, finds its windows, reads their texts, types the path, clicks the tick boxes
// and buttons and answers its message boxes.
#pragma once
#include <windows.h>

#include <chrono>
#include <string>

#include "foundation/unique_handle.h"

namespace setup_testing {

using namespace std::chrono_literals;

// Control ids of the installer's windows.
enum Ids {
    kPathField = 1000, kChooseButton = 1001, kStatusLine = 1003, kTitleLine = 1004, kDesktopTick = 1015,
    kAgreeTick = 1016, kKindPicture = 1010, kMessageText = 1011, kCloseButton = 1012, kAddressField = 1019,
    kOpenArea = 1020, kCopyArea = 1021,
};

std::wstring SetupTitle();  // "Orm·防入侵集群系统 - V1.1.0"
std::wstring Text(HWND window);
std::wstring ChildText(HWND window, int id);
// The installation record in the Windows folder.
std::string RecordPath();
void WriteRecord(const std::string& appPath);
std::string ReadRecord(const std::string& key);
// An installed folder: config\cache.ini with "curr_version" in section ORMVEX, an
// engine file and the log folder.
void PrepareInstallation(const std::string& folder, const std::string& version);
// The whole update log of an installation folder.
std::string UpdateLog(const std::string& folder);
// The service's current state (SERVICE_RUNNING, ...), 0 when it cannot be read.
DWORD ServiceState(const char* name);
// The engine of the folder, asked on its channel for its local address.
std::string EngineLocalUrl(const std::string& folder);
// Saves the screen area of the window as C:\screenshots\<name>.bmp.
bool SaveScreenshot(HWND window, const std::string& name);
// Presses a button the way the dialog sees a click: its command notification.
void PressButton(HWND dialog, int id);
// Clicks a control with the mouse (button down and up at its centre).
void ClickControl(HWND dialog, int id);
// Wide text as GBK bytes, for comparing with files the installer wrote.
std::string Gbk(const std::wstring& text);

struct MessageBoxSeen {
    HWND window = nullptr;
    std::wstring title;
    std::wstring text;
    bool cancelShown = false;
};

// The command line of the first running process with this program file name (as
// Toolhelp lists it, compared without letter case), read from its process block;
// empty when none runs.
std::wstring RunningCommandLine(const std::wstring& programName);

// address_service.exe at the build's address-service address, answering
// "<ip>" + answer + "</ip>" until the object goes.
class AddressService {
public:
    explicit AddressService(const std::string& answer);
    ~AddressService();
    AddressService(const AddressService&) = delete;
    AddressService& operator=(const AddressService&) = delete;
    // True once a GET of the build's address gives exactly its answer.
    bool WaitAnswering(std::chrono::milliseconds limit = 40s) const;

private:
    std::string answer_;
    UniqueHandleKernel process_;
};

class SetupRun {
public:
    // Copies the installer to C:\setup\ and starts it with `arguments`.
    explicit SetupRun(const std::string& arguments = "");
    ~SetupRun();
    SetupRun(const SetupRun&) = delete;
    SetupRun& operator=(const SetupRun&) = delete;

    DWORD Id() const { return id_; }
    // The setup window once it is there; null after the limit.
    HWND WaitSetupWindow(std::chrono::milliseconds limit = 20s);
    // The next message box of the process; window null after the limit.
    MessageBoxSeen WaitMessageBox(std::chrono::milliseconds limit = 20s);
    // The success dialog (the window holding the address field).
    HWND WaitSuccessDialog(std::chrono::milliseconds limit = 120s);
    bool WaitExit(std::chrono::milliseconds limit);
    bool IsRunning() const;
    // Ends the installer from outside, as a crash or a power cut would.
    void Kill();

private:
    UniqueHandleKernel process_;
    DWORD id_ = 0;
};

}  // namespace setup_testing
