// Time-stamped log lines: "2026-03-07 09:05:03<TAB>message\r\n", appended in one
// open-write-close, so a line is on disk when the call returns. Nothing rotates.
#pragma once
#include <string>

struct LogLineOptions {
    bool removeLineFeeds = true;     // the installer's log drops "\n" from messages
    bool createFolder = false;       // the watchdog creates its log folder (one level)
};

// Appends one stamped line to path; 1 when written, 0 when the file cannot be opened.
int AppendLogLine(const std::string& path, const std::string& message, const LogLineOptions& options);

// The installer's log: path empty selects ModuleFolder() + "log\update.log".
int WriteUpdateLog(const std::string& message, const std::string& path = std::string());
