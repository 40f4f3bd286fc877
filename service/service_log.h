// The watchdog's log "log\ormipsd.log" below the program folder, with the same line
// layout as the installer's log.
#pragma once
#include <string>

std::string ServiceLogFolder();
// Creates the log folder (one level) when it is missing.
void CreateServiceLogFolder();
// Appends one stamped line; a line that cannot be written is lost silently.
int WriteServiceLog(const std::string& text);
