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
    kCopyArea = 1021,
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

private:
    UniqueHandleKernel process_;
    DWORD id_ = 0;
};

}  // namespace setup_testing
