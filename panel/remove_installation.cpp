#include "panel/remove_installation.h"

#include <windows.h>

#include <cstdlib>
#include <vector>

#include "foundation/files.h"
#include "foundation/hardware.h"
#include "foundation/process.h"
#include "foundation/product.h"
#include "foundation/scramble.h"
#include "foundation/service_ctrl.h"
#include "foundation/text.h"
#include "foundation/unique_handle.h"
#include "foundation/wow64_fs_guard.h"

namespace {

const char* const kEngineProcesses[] = {"ormvex.exe", "ormvexd.exe"};
const char* const kProgramFiles[] = {"ormvex.exe", "ormvexd.exe", "update.exe"};
const char kPanelProcess[] = "ormvexpanel.exe";
const char* const kUninstallValues[] = {"DisplayIcon",     "DisplayName",     "DisplayVersion", "Publisher",
                                        "UninstallPath", "UninstallString", "URLUpdateInfo"};

// The stored clean-up text keeps its line breaks as backslash + "n".
std::string CleanupBatchText() {
    std::string text = Unscrambled(scrambled::kUninstallCleanupBatch);
    ReplaceAll("\\n", text, "\n");
    return text;
}

// The script runs on after the panel has gone, from outside the folder it may
// remove: a process whose current folder lies inside keeps it from being removed.
void StartSelfRemoval(const std::string& script) {
    const char* comspec = std::getenv("COMSPEC");
    const std::string interpreter = (comspec && *comspec) ? comspec : "cmd.exe";
    std::string line = "\"" + interpreter + "\" /c \"" + script + "\"";
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    const std::string outside = WindowsFolder();
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                          outside.c_str(), &startup, &info))
        return;
    UniqueHandleKernel process(info.hProcess), thread(info.hThread);
}

// Step 12: everything directly inside the folder, except what the user keeps.
void EmptyInstallationFolder(const std::string& folder, bool removeLogsAndConfig) {
    COrmFile files;
    std::vector<FolderEntry> fileEntries, folderEntries;
    ListOptions options;
    files.ListFolder(ListSelection::FilesAndFolders, fileEntries, folderEntries, folder, options);
    for (const auto* entries : {&fileEntries, &folderEntries}) {
        for (const FolderEntry& entry : *entries) {
            if (!removeLogsAndConfig && IsKeptFolderName(entry.name)) continue;
            files.DeleteTree(entry.path);
        }
    }
}

// RegDeleteKeyExA names the view; 32-bit Windows before Vista lacks it, and there
// the one view is all there is.
void DeleteSubkeyIn64BitView(HKEY parent, const char* subkey) {
    using DeleteKeyEx = LONG(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD);
    HMODULE advapi = ::GetModuleHandleA("advapi32.dll");
    auto deleteKeyEx = advapi ? reinterpret_cast<DeleteKeyEx>(
                                    reinterpret_cast<void*>(::GetProcAddress(advapi, "RegDeleteKeyExA")))
                              : nullptr;
    if (deleteKeyEx)
        deleteKeyEx(parent, subkey, KEY_WOW64_64KEY, 0);
    else
        ::RegDeleteKeyA(parent, subkey);
}

}  // namespace

bool IsKeptFolderName(const std::string& name) {
    const std::string lower = LowerCopy(name);
    return lower == "config" || lower == "log";
}

void RemoveInstallation(bool RemoveLogsAndConfig) {
    const std::string folder = ModuleFolder();
    CHardware hardware;
    // 1. A 32-bit panel on 64-bit Windows sees the real system folders until step 16.
    Wow64FsGuard redirection;
    if (IsWow64Process() && redirection.Load()) redirection.Disable();
    // 2. Both services, still running; the clean-up script stops them.
    CServiceCtrl().RemoveService(kEngineServiceName);
    CServiceCtrl().RemoveService(kWatchdogServiceName);
    // 3. The clean-up script.
    RunBatchText(folder + "temp\\" + "ormup_" + NowSecondsText() + ".bat", CleanupBatchText());
    // 4. Whatever of the engine and the watchdog still runs.
    for (const char* name : kEngineProcesses)
        if (hardware.IsProcessRunning(name) == 1) hardware.KillProcessByName(name);
    // 5. The programs.
    for (const char* name : kProgramFiles) DeleteFileForce(folder + name);
    // 6. The installation record.
    const std::string record = WindowsFolder() + "ormvex.db";
    if (PathIs(record, false)) DeleteFileForce(record);
    // 7. to 10. Shortcuts, autostart value, the icons of ended processes.
    hardware.DeleteDesktopShortcut(ProductName());
    hardware.RemoveAutorun(kAutorunValueName);
    hardware.RefreshTrayArea();
    hardware.DeleteStartMenuShortcuts(ProductName());
    // 11. The entry in the list of installed programs.
    RemoveUninstallEntry();
    // 12. The folder's content; the running panel program stays for the script.
    EmptyInstallationFolder(folder, RemoveLogsAndConfig);
    // 13. Done, as far as the user is concerned.
    ::MessageBoxA(nullptr, ("[" + ProductName() + ToGbk(L"]卸载完成！")).c_str(), "Orm", MB_ICONINFORMATION);
    // 14. and 15. The script that removes the panel program once it has ended.
    const std::string script = folder + "OrmVexUninstall" + NowSecondsText() + ".bat";
    hardware.WriteCleanupBatch(script, RemoveLogsAndConfig, folder);
    StartSelfRemoval(script);
    // 16. Redirection back on.
    redirection.Revert();
    // 17. A tray panel of this installation would poll an engine that is gone.
    if (hardware.IsProcessRunning(kPanelProcess) == 1) hardware.KillProcessByName(kPanelProcess);
    // 18. Fails while this panel runs; the script deletes it after its pause.
    DeleteFileForce(folder + "OrmVexPanel.exe");
    // 19. The tray panel's icon.
    hardware.RefreshTrayArea();
    // 20. Succeeds only when nothing was kept.
    if (RemoveLogsAndConfig && PathIs(folder, true)) ::RemoveDirectoryA(folder.c_str());
    // 21.
    ::PostQuitMessage(0);
}

void RemoveUninstallEntry() {
    // 1. The key of this product below the list of installed programs.
    const std::string parent = Unscrambled(scrambled::kUninstallParentKey);
    const std::string key = parent + kEngineServiceName;
    // 2. Its values. The installer writes the entry into the 64-bit view; a 32-bit
    //    panel on 64-bit Windows would otherwise look into the 32-bit one and leave
    //    the product listed as installed.
    {
        UniqueHKey entry;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, entry.put()) ==
            ERROR_SUCCESS)
            for (const char* value : kUninstallValues) ::RegDeleteValueA(entry.get(), value);
    }
    // 3. The key itself.
    UniqueHKey list;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, parent.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, list.put()) ==
        ERROR_SUCCESS)
        DeleteSubkeyIn64BitView(list.get(), kEngineServiceName);
}
