// The engine's one-shot command lines: first-time set-up with an entry path, and
// the two queries that leave a one-time answer in the installation's temp folder.
#pragma once
#include <string>

// "install <entry>": 0 when the entry path (8 lower-case letters or digits) was taken.
int RunInstall(const std::string& folder, const std::string& entry);
// "getuninstallinfo <file>": "<orm>" + sealed id, code and confirm flag + "</orm>".
int WriteUninstallInfo(const std::string& folder, const std::string& fileName);
// "getentrylocalurl <file>": "<entry>" + local address + "</entry>", plain.
int WriteEntryLocalUrl(const std::string& folder, const std::string& fileName);
