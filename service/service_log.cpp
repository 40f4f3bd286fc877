#include "service/service_log.h"

#include <windows.h>

#include "foundation/files.h"
#include "foundation/log.h"

std::string ServiceLogFolder() { return ModuleFolder() + "log\\"; }

void CreateServiceLogFolder() {
    const std::string folder = ServiceLogFolder();
    if (!PathIs(folder, true)) ::CreateDirectoryA(folder.c_str(), nullptr);
}

int WriteServiceLog(const std::string& text) {
    LogLineOptions options;
    options.createFolder = true;
    options.removeLineFeeds = false;
    return AppendLogLine(ServiceLogFolder() + "ormipsd.log", text, options);
}
