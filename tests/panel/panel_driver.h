// Drives the real OrmVexPanel.exe from outside, the way a user and the installer
// reach it: starts it in an installation folder beside the engine stand-in, finds
// its windows, reads their texts, clicks, opens the tray menu and chooses items.
#pragma once
#include <windows.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "channel/standin_engine.h"
#include "foundation/unique_handle.h"
#include "support/test_support.h"

namespace panel_testing {

using namespace std::chrono_literals;

// Title of the main window.
std::wstring MainWindowTitle();
// Texts of all child windows, in child order.
std::vector<std::wstring> ChildTexts(HWND window);
std::wstring ChildText(HWND window, int id);
RECT WindowRect(HWND window);
// Top-level windows of a process with the given class (empty: any class).
std::vector<HWND> ProcessWindows(DWORD processId, const std::wstring& className, bool visibleOnly);
// The first visible dialog of the process holding a child with `text`.
HWND FindDialogWithText(DWORD processId, const std::wstring& text);
using testing_support::SaveScreenshot;
// Clicks a control as the mouse would (button down and up at its centre).
void ClickControl(HWND dialog, int id);
// Types into a control as the keyboard does: key down and up per character, which
// the dialog's own loop translates (a character that needs shift comes as the
// character alone). The field's whole text is selected first, so typing replaces
// it; an empty text deletes it.
void TypeText(HWND control, const std::wstring& text);
// The tray icon's state colour: 0 green, 1 grey, 2 red, -1 none found.
int TrayIconState();

// Moves this thread onto the desktop "shell", which has a taskbar and a notification
// area, starting that desktop when needed.
bool EnterShellDesktop();
// The same for any panel process, one that the installer started for instance.
HWND WaitPanelMainWindow(DWORD processId, std::chrono::milliseconds limit = 20s);
bool WaitPanelResident(DWORD processId, std::chrono::milliseconds limit = 20s);
HWND OpenPanelTrayMenu(DWORD processId);
void ChooseTrayMenuEntry(HWND menu, int position);

// One panel installation with its engine stand-in; the panel processes it started
// are ended when it goes.
class PanelScene {
public:
    PanelScene();
    ~PanelScene();

    testing_support::StandinEngine& Engine() { return engine_; }
    const std::string& Folder() const { return engine_.Folder(); }
    std::string ConfigFile(const std::string& name) const { return Folder() + "config\\" + name; }

    // Copies the built OrmVexPanel.exe into `folder` (empty: the scene's folder, again
    // after an installation placed another program there).
    bool PlacePanelProgram(const std::string& folder = "");
    // Starts OrmVexPanel.exe with `arguments` (may be empty); returns its index.
    size_t Start(const std::string& arguments = "");
    // The same for a panel program in another folder.
    size_t StartFrom(const std::string& folder, const std::string& arguments);
    HANDLE Process(size_t index = 0) const { return processes_[index].get(); }
    DWORD ProcessId(size_t index = 0) const { return ids_[index]; }
    bool WaitExit(size_t index, std::chrono::milliseconds limit, DWORD* exitCode);
    bool IsRunning(size_t index = 0) const;

    // The main window once it exists; null when it did not come within the limit.
    HWND WaitMainWindow(std::chrono::milliseconds limit = 20s, size_t index = 0);
    // True once the start-up timer has minimised and hidden the main window.
    bool WaitResident(std::chrono::milliseconds limit = 20s, size_t index = 0);

    // Opens the tray menu the way a right click on the icon does; the menu window.
    HWND OpenTrayMenu(size_t index = 0);
    // Chooses the entry `position` (0 = first, separators not counted).
    void ChooseMenuEntry(HWND menu, int position);

private:
    testing_support::StandinEngine engine_;
    std::vector<UniqueHandleKernel> processes_;
    std::vector<DWORD> ids_;
};

// Positions of the tray menu's entries, separators not counted.
enum MenuEntry {
    kOpenSite = 0, kAccess, kShowInfo, kTurnOn, kTurnOff, kAddAdmin, kChangePort, kRepair, kQuit, kMenuEntries
};

bool AutorunValuePresent();
// Texts of the tray menu the process shows right now, in order ("-" for a
// separator), read by a probe loaded into it.
std::vector<std::wstring> OpenMenuTexts(DWORD processId, const std::string& folder);
// Puts the address recorder into `folder` and makes it the prefix's http handler:
// an opened address lands in C:\opened_address.txt instead of a browser.
bool RegisterAddressRecorder(const std::string& folder);
// Colour of a message dialog's kind icon: 0 green, 1 grey, 2 red, 3 orange, -1 none.
int MessageKindColour(HWND dialog);

// Dialogs of the access settings, port, switch and repair flows.
// The first visible dialog of the process holding a child with `text`, once it came.
HWND WaitDialogWithText(DWORD processId, const std::wstring& text, std::chrono::milliseconds limit = 15s);
bool WaitWindowGone(HWND window, std::chrono::milliseconds limit = 15s);
// Presses one key on a window (key down, key up).
void PressKey(HWND window, UINT virtualKey);
// Opens the tray menu of the panel and chooses the entry; false when no menu came.
bool ChooseTrayEntry(PanelScene& scene, MenuEntry entry);
// Writes the stand-in's settings, starts it and a resident panel (started with
// "autorun", so no information dialog comes first).
void StartEngineAndResidentPanel(PanelScene& scene, const std::string& settings);
// Requests the stand-in recorded (its switch "record=1"), one per line.
std::string RecordedRequests(PanelScene& scene);
void ForgetRecordedRequests(PanelScene& scene);
// A value of the stand-in's [standin] section as stored now.
std::string StandinSetting(PanelScene& scene, const char* key);
// Waits for the message dialog titled `title`, checks its text, its kind colour (see
// MessageKindColour) and that it offers OK only, saves a screenshot when named, and
// closes it with OK.
void ExpectMessage(PanelScene& scene, const std::wstring& title, const std::wstring& text, int colour,
                   const char* screenshot = nullptr);
// The clipboard's CF_TEXT content (empty when there is none), and emptying it.
std::string ClipboardText();
void ClearClipboard();
// Copies a program of the test build to `destination`.
bool CopyBuiltProgram(const std::string& name, const std::string& destination);

}  // namespace panel_testing
