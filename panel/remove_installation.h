// The removal itself once the uninstall has been confirmed: services, processes,
// program files, record, shortcuts, autostart value, uninstall entry and the
// installation folder's content, then a script that deletes the panel program
// (and, when asked, the folder) after the panel has ended.
#pragma once
#include <string>

// Never reports a failure and never stops halfway; returns after starting the
// self-removal script and posting the quit message.
void RemoveInstallation(bool RemoveLogsAndConfig);
// Deletes the uninstall entry's values and then its key.
void RemoveUninstallEntry();
// True for the folders that the user may keep: "config" and "log", in any letter
// case, since Windows finds "Config" under the name "config" as well.
bool IsKeptFolderName(const std::string& name);
