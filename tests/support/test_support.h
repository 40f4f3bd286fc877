// Helpers shared by the tests: scratch folders inside the prefix, waiting for a
// condition with a deadline, running programs, and reading files back.
#pragma once
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

#include "foundation/unique_handle.h"

namespace testing_support {

// A new empty folder below the prefix's temp folder, ending in a backslash; removed
// with everything in it when the object goes out of scope.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

// Polls the condition every interval until it holds or the deadline passes.
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds deadline,
             std::chrono::milliseconds interval = std::chrono::milliseconds(50));

std::string ReadFileText(const std::string& path);   // whole file as bytes, empty when missing
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);

// Starts a command line (not hidden, not waited for); the process handle, or none.
UniqueHandleKernel StartProgram(const std::string& commandLine);

// Loads a library into another process (its DllMain runs there), the way the probes
// of the tests read what only that process knows; false when it could not be started.
bool LoadIntoProcess(DWORD processId, const std::string& libraryPath);

// Saves what the screen shows of the window as C:\screenshots\<name>.bmp (the
// harness keeps that folder for review).
bool SaveScreenshot(HWND window, const std::string& name);

// Folder of the test program itself, ending in a backslash.
std::string TestProgramFolder();

// The fields of a shell link, read back through the shell's link object.
struct ShellLinkFields {
    std::wstring target, arguments, description, icon, workingFolder;
    int iconIndex = -1;
};
bool ReadShellLink(const std::string& linkPath, ShellLinkFields& fields);

// True under Wine, where a few system behaviours differ from Windows.
bool RunsOnWine();
// The clipboard's CF_TEXT bytes up to their terminating zero; empty when there are none.
std::string ClipboardText();
void ClearClipboard();

}  // namespace testing_support
