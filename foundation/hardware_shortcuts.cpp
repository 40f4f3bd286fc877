#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "foundation/com_ptr.h"
#include "foundation/files.h"
#include "foundation/hardware.h"
#include "foundation/scramble.h"
#include "foundation/text.h"
#include "foundation/unique_handle.h"

namespace {

constexpr int kIconIndex = 0;
constexpr std::size_t kShortestLinkPath = 3;
constexpr std::size_t kDriveRootLength = 3;  // "D:\"

std::string SpecialFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE)) return std::string();
    return CStringUtil().WideToMulti(path);
}

// The all-users Start menu group; empty when the shell names no programs folder.
std::string ProgramGroup() {
    const std::string programs = SpecialFolder(CSIDL_COMMON_PROGRAMS);
    if (programs.empty()) return std::string();
    return programs + ToGbk(L"\\Orm软件\\防入侵集群系统\\");
}

std::string Bracketed(const wchar_t* before, const std::string& name, const wchar_t* after) {
    return ToGbk(before) + name + ToGbk(after);
}

}  // namespace

std::string CHardware::GetDesktopFolder() {
    std::string desktop = SpecialFolder(CSIDL_DESKTOPDIRECTORY);
    if (!desktop.empty()) {
        desktop += "\\";
        ReplaceAll("\\\\", desktop, "\\");
        return desktop;
    }
    const std::string fallback = Unscrambled(scrambled::kFallbackDesktopFolder);
    return PathIs(fallback, true) ? fallback : std::string("\\");
}

int CHardware::CreateShortcut(const std::string& linkPath, const std::string& target, const std::string& iconPath,
                              const std::string& arguments, const std::string& description) {
    // 1. and 2.
    if (linkPath.size() < kShortestLinkPath) return 0;
    CStringUtil convert;
    const std::wstring link = convert.MultiToWide(linkPath);
    // 3. The shell's link object.
    ComInit com(COINIT_APARTMENTTHREADED);
    if (!com.Usable()) return 0;
    ComPtr<IShellLinkW> shellLink;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  shellLink.PutVoid())))
        return 0;
    // 4. and 5. A folder or a missing file as icon would show a blank picture.
    shellLink->SetPath(convert.MultiToWide(target).c_str());
    shellLink->SetArguments(convert.MultiToWide(arguments).c_str());
    shellLink->SetDescription(convert.MultiToWide(description).c_str());
    if (!iconPath.empty() && FileExistsReal(iconPath))
        shellLink->SetIconLocation(convert.MultiToWide(iconPath).c_str(), kIconIndex);
    // 6. The link's own drive root, whatever the target's folder.
    shellLink->SetWorkingDirectory(link.substr(0, kDriveRootLength).c_str());
    // 7. Only this save writes the file, so a failure leaves no partial link.
    ComPtr<IPersistFile> file;
    if (SUCCEEDED(shellLink.As(file))) file->Save(link.c_str(), FALSE);
    return 1;
}

void CHardware::CreateDesktopShortcut(const std::string& target, const std::string& iconPath,
                                      const std::string& title) {
    const std::string link = GetDesktopFolder() + title + ".lnk";
    if (PathIs(link, false)) DeleteFileForce(link);
    const std::string icon = FileExistsReal(iconPath) ? iconPath : Unscrambled(scrambled::kFallbackShortcutFile);
    CreateShortcut(link, target, icon, std::string(), title);
}

void CHardware::CreateStartMenuShortcuts(const std::string& installFolder, const std::string& panelTarget,
                                         const std::string& name) {
    // 1. and 2. The group folder; one that exists already is fine.
    const std::string programs = SpecialFolder(CSIDL_COMMON_PROGRAMS);
    if (programs.empty()) return;
    ::CreateDirectoryA((programs + ToGbk(L"\\Orm软件")).c_str(), nullptr);
    const std::string group = ProgramGroup();
    ::CreateDirectoryA(group.c_str(), nullptr);
    // 3. The uninstall entry of the group points at the link in the installation folder.
    const std::string panelExe = installFolder + "OrmVexPanel.exe";
    const std::string uninstallLink = installFolder + "uninstall.lnk";
    const std::string trayTitle = Bracketed(L"打开[", name, L"]托盘");
    const std::string panelTitle = Bracketed(L"打开[", name, L"]面板");
    const std::string uninstallTitle = Bracketed(L"卸载[", name, L"]");
    CreateShortcut(group + trayTitle + ".lnk", panelExe, panelExe, std::string(), trayTitle);
    CreateShortcut(group + panelTitle + ".lnk", panelTarget, panelExe, std::string(), panelTitle);
    CreateShortcut(uninstallLink, "\"" + panelExe + "\"", panelExe, "uninstall", ToGbk(L"卸载防入侵集群系统"));
    CreateShortcut(group + uninstallTitle + ".lnk", uninstallLink, uninstallLink, std::string(), uninstallTitle);
}

void CHardware::DeleteDesktopShortcut(const std::string& title) {
    const std::string link = GetDesktopFolder() + title + ".lnk";
    if (PathIs(link, false)) DeleteFileForce(link);
}

int CHardware::DeleteStartMenuShortcuts(const std::string& name) {
    // 1. and 2.
    const std::string group = ProgramGroup();
    if (group.empty()) return 0;
    // 3. The tray link is "打开[...]托盘" as CreateStartMenuShortcuts makes it; the
    //    "显示[...]托盘" name of older installations goes too.
    for (const std::string& title : {Bracketed(L"打开[", name, L"]面板"), Bracketed(L"打开[", name, L"]托盘"),
                                     Bracketed(L"显示[", name, L"]托盘"), Bracketed(L"卸载[", name, L"]")})
        DeleteFileForce(group + title + ".lnk");
    // 4. Only an empty group goes; the maker's outer folder stays.
    ::RemoveDirectoryA(group.c_str());
    return 1;
}

std::string CHardware::SetAutorun(const std::string& panelPath, const std::string& valueName,
                                  AutorunFlavour flavour) {
    const bool panel = flavour == AutorunFlavour::Panel;
    // 1. The Run key must exist already.
    UniqueHKey run;
    LONG error = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, Unscrambled(scrambled::kRunKeyPath).c_str(), 0, KEY_SET_VALUE,
                                 run.put());
    if (error != ERROR_SUCCESS) return ToGbk(panel ? L"RegOpen失败：" : L"RegOpenKey失败：") + IntText(error);
    // 2. Written with its terminating zero, as REG_SZ readers expect.
    const std::string data = "\"" + panelPath + "\" -autorun";
    error = ::RegSetValueExA(run.get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                             static_cast<DWORD>(data.size() + 1));
    if (error != ERROR_SUCCESS) return ToGbk(panel ? L"RegSetEx失败：" : L"RegSetValueEx失败：") + IntText(error);
    return std::string();
}

int CHardware::RemoveAutorun(const std::string& valueName) {
    UniqueHKey run;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, Unscrambled(scrambled::kRunKeyPath).c_str(), 0, nullptr,
                          REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, run.put(), nullptr) != ERROR_SUCCESS)
        return 0;
    return ::RegDeleteValueA(run.get(), valueName.c_str()) == ERROR_SUCCESS ? 1 : 0;
}
