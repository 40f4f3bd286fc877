// The installation record "ormvex.db" in the Windows folder, the command word that
// starts an unattended upgrade, and the folder proposed for a new installation.
#pragma once
#include <string>

// The Windows folder + "ormvex.db".
std::string InstallRecordPath();
// The recorded "apppath", with a backslash appended; empty without a record or value.
std::string RecordedInstallFolder();
// Writes "apppath" and "settime" after a successful run.
void WriteInstallRecord(const std::string& appPath);

// True when the second blank-separated piece of the lower-cased command line is "update".
bool IsUpdateCommandLine(const std::string& commandLine);

// D: when it can be written to, else the Windows drive; then the maker's folder and
// "ormvex" with four random digits.
std::string DefaultInstallPath();
std::string InstallPathOnDrive(char drive);
