#include "installer/install_checks.h"

#include "foundation/files.h"
#include "foundation/ini_reader.h"
#include "foundation/product.h"
#include "foundation/text.h"
#include "installer/install_mode.h"

namespace {
constexpr std::size_t kProductFolderDigits = 4;
constexpr char kProductTag[] = "ormvex";
}  // namespace

std::string PathRefusal(const std::string& path) {
    const std::string again = ToGbk(L"，请重新选择。");
    if (HasDoubleByteText(path)) return ToGbk(L"暂不用支持安装到中文路径：") + path + again;
    if (path.find(':') != 1 || path.find('/') != std::string::npos)
        return ToGbk(L"路径格式不正确：") + path + again;
    if (path.find(' ') != std::string::npos) return ToGbk(L"安装路径不能含有空格：") + path + again;
    return std::string();
}

std::string WithProductFolder(const std::string& path) {
    if (path.find(kProductTag) != std::string::npos) return path;
    std::string result = path + "\\" + kProductTag + RandomText(kProductFolderDigits, true) + "\\";
    ReplaceAll("\\\\", result, "\\");
    return result;
}

std::string FileInFolder(const std::string& path, const std::string& name) {
    std::string result = path + "\\" + name;
    ReplaceAll("\\\\", result, "\\");
    return result;
}

bool EngineProgramThere(const std::string& path) {
    // The replacement moves the old program aside and then copies the new one in; a
    // run ended between the two is still an installation with a configuration, and
    // treating it as new would set the engine up afresh.
    return FileExistsReal(FileInFolder(path, "ormvex.exe")) || FileExistsReal(FileInFolder(path, "ormvex.exe.del"));
}

EarlierInstallation ExamineEarlierInstallation() {
    EarlierInstallation found;
    const std::string record = InstallRecordPath();
    if (!FileExistsReal(record)) return found;
    found.recordFound = true;
    CIniReader ini;
    ini.SetFile(record);
    const std::string folder = ini.ReadString("apppath", kProductTag);
    CIniReader cache;
    cache.SetFile(FileInFolder(folder, "config\\cache.ini"));
    found.version = cache.ReadString("curr_version", UpperCopy(kProductTag));
    found.acceptable = found.version == kProductVersion || IsNewerVersion(kProductVersion, found.version);
    found.upgrade = found.acceptable && !found.version.empty() && EngineProgramThere(folder);
    return found;
}

std::string UpgradeQuestion(const std::string& installedVersion) {
    return ToGbk(L"当前已经安装了版本V") + installedVersion + ToGbk(L"，继续安装V") + kProductVersion +
           ToGbk(L"吗？\r\n升级安装将不会丢失既有的配置信息。");
}

std::string NewerVersionRefusal(const std::string& installedVersion) {
    return ToGbk(L"当前系统已经安装过更新的版本：") + installedVersion + ToGbk(L"，无法升级到更陈旧的版本。");
}

std::string SingleHostRefusal() {
    return ToGbk(L"指定目录已存在Orm·防入侵系统文件，无法安装到此目录，\r\n请重新选择安装目录。");
}

std::string InstallQuestion(const std::string& path, bool engineThere) {
    if (engineThere)
        return ToGbk(L"指定目录已存在防入侵集群系统的相关文件，确定安装") + ProductName() + ToGbk(L"到[") + path +
               ToGbk(L"]吗？");
    return ToGbk(L"确定安装") + ProductName() + ToGbk(L"到[") + path + ToGbk(L"]吗？\r\n注意：卸载时会删除该目录下的文件。");
}
