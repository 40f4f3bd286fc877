#include "tools/ormvex/standin_queries.h"

#include <cstdio>

#include "foundation/aes.h"
#include "foundation/files.h"
#include "foundation/scramble.h"
#include "tools/ormvex/standin_answers.h"
#include "tools/ormvex/standin_settings.h"

namespace {

constexpr std::size_t kEntryLength = 8;

// The answer goes into the installation's temp folder and nowhere else: a name
// that could lead out of it is refused.
bool IsBareFileName(const std::string& name) {
    return !name.empty() && name.find_first_of("\\/:") == std::string::npos && name != "." && name != "..";
}

int WriteQueryAnswer(const std::string& folder, const std::string& fileName, const std::string& content) {
    if (!IsBareFileName(fileName)) {
        std::printf("ormvex: the answer file must be a bare file name\n");
        return 1;
    }
    CreateFolderPath(folder + "temp\\");
    const std::string path = folder + "temp\\" + fileName;
    std::string error;
    return WriteBufferToFile(content.data(), error, path, content.size()) ? 0 : 1;
}

}  // namespace

int RunInstall(const std::string& folder, const std::string& entry) {
    bool valid = entry.size() == kEntryLength;
    for (char c : entry) valid = valid && ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'));
    if (!valid) {
        std::printf("ormvex: the entry path must be 8 lower-case letters or digits\n");
        return 1;
    }
    CreateFolderPath(folder + "config\\");
    const CStandinSettings settings(folder);
    settings.Set("entry", entry);
    UpdateCacheIni(settings);
    return 0;
}

int WriteUninstallInfo(const std::string& folder, const std::string& fileName) {
    const CStandinSettings settings(folder);
    settings.LogRequest("getuninstallinfo " + fileName);
    const std::string answerMode = settings.TestSwitch("uninstallanswer");
    if (answerMode == "none") return 0;
    const bool needsCode = settings.Number("uninstallcode") != 0;
    const std::string inner = "<id>" + (needsCode ? settings.Text("uninstallid") : std::string()) + "</id><pass>" +
                              settings.Text("authcode") + "</pass>" +
                              (answerMode == "damaged" ? std::string("<confirm>") + settings.Text("uninstallconfirm")
                                                       : "<confirm>" + settings.Text("uninstallconfirm") + "</confirm>");
    const std::string sealed = CAesText(Unscrambled(scrambled::kChannelKey)).SealText(inner);
    return WriteQueryAnswer(folder, fileName, "<orm>" + sealed + "</orm>");
}

int WriteEntryLocalUrl(const std::string& folder, const std::string& fileName) {
    const CStandinSettings settings(folder);
    return WriteQueryAnswer(folder, fileName, "<entry>" + settings.LocalUrl() + "</entry>");
}
