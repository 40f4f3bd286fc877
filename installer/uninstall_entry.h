// The product's entry in the system's list of installed programs.
#pragma once
#include <string>

// HKLM\<uninstall parent>\ormvex in the 64-bit view, created when missing, with the
// display values and the command "<D>OrmVexPanel.exe uninstall". False when the key
// cannot be opened or created (nothing is written then).
bool WriteUninstallEntry(const std::string& installDir);
