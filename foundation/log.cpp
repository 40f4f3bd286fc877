#include "foundation/log.h"

#include <windows.h>

#include "foundation/files.h"
#include "foundation/text.h"

int AppendLogLine(const std::string& path, const std::string& message, const LogLineOptions& options) {
    if (options.createFolder) {
        const size_t slash = path.find_last_of('\\');
        if (slash != std::string::npos) {
            const std::string folder = path.substr(0, slash);
            if (!PathIs(folder, true)) ::CreateDirectoryA(folder.c_str(), nullptr);
        }
    }
    std::string line = NowStampText() + "\t" + message;
    if (options.removeLineFeeds) ReplaceAll("\n", line, "");
    return WriteTextFile(path, true, true, line);
}

int WriteUpdateLog(const std::string& message, const std::string& path) {
    return AppendLogLine(path.empty() ? ModuleFolder() + "log\\update.log" : path, message, LogLineOptions{});
}
