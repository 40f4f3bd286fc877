#include "installer/install_mode.h"

#include <windows.h>

#include <vector>

#include "foundation/files.h"
#include "foundation/ini_reader.h"
#include "foundation/text.h"

namespace {
constexpr char kRecordSection[] = "ormvex";
constexpr char kUpdateWord[] = "update";
// The probe file is written and then looked for; a drive that is slow to show it
// counts as unusable.
constexpr DWORD kDriveProbeSettleMs = 100;
constexpr std::size_t kProbeNameLength = 10;
constexpr std::size_t kProductFolderDigits = 4;
}  // namespace

std::string InstallRecordPath() {
    std::string windows = WindowsFolder();
    if (!windows.empty() && windows.back() != '\\') windows += '\\';
    return windows + "ormvex" + ".db";
}

std::string RecordedInstallFolder() {
    const std::string record = InstallRecordPath();
    if (!FileExistsReal(record)) return std::string();
    CIniReader ini;
    ini.SetFile(record);
    std::string folder = ini.ReadString("apppath", kRecordSection);
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}

void WriteInstallRecord(const std::string& appPath) {
    CIniReader ini;
    ini.SetFile(InstallRecordPath());
    ini.WriteString(appPath, "apppath", kRecordSection);
    ini.WriteString(NowStampText(), "settime", kRecordSection);
}

bool IsUpdateCommandLine(const std::string& commandLine) {
    std::string line = commandLine;
    ToLowerInPlace(line);
    std::vector<std::string> pieces;
    return SplitText(line, " ", 1, pieces) >= 2 && pieces[1] == kUpdateWord;
}

std::string InstallPathOnDrive(char drive) {
    return std::string(1, drive) + ":\\" + ORMVEX_MAKER_FOLDER + "\\" + "ormvex" +
           RandomText(kProductFolderDigits, true) + "\\";
}

std::string DefaultInstallPath() {
    // 1. Drive D when a file can be written there, else the Windows drive.
    const std::string probe = "D:\\test" + RandomText(kProbeNameLength, false) + ".txt";
    WriteTextFile(probe, false, false, "ormips");
    ::Sleep(kDriveProbeSettleMs);
    char drive = InstallRecordPath()[0];
    if (FileExistsReal(probe)) {
        DeleteFileForce(probe);
        drive = 'D';
    }
    // 2. The maker's folder and the product folder.
    return InstallPathOnDrive(drive);
}
