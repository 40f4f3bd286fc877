#include "lifecycle_driver.h"

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include "foundation/unique_handle.h"
#include "installer/setup_driver.h"
#include "panel/panel_driver.h"
#include "support/test_support.h"

namespace lifecycle_testing {

namespace {

using testing_support::WaitFor;

const char kExplorerKey[] = "Software\\Wine\\Explorer";
const char kDesktopsKey[] = "Software\\Wine\\Explorer\\Desktops";
const char kShellDesktop[] = "shell";
const char kShellDesktopSize[] = "1280x800";
// The hidden box that the agreement picture drives.
const int kAgreeBox = 1006;
constexpr auto kSetupWindowLimit = 20s;
constexpr auto kTickLimit = 5s;
constexpr auto kQuestionLimit = 10s;
// Payload, engine set-up, services and the address lookup, on a busy machine.
constexpr auto kInstallLimit = 180s;
constexpr auto kInstallerEndLimit = 20s;
const WORD kPayloadLanguage = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
const int kPayloadId = 130;

bool SetUserText(const char* keyPath, const char* name, const char* value) {
    UniqueHKey key;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr) !=
        ERROR_SUCCESS)
        return false;
    return ::RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                            static_cast<DWORD>(strlen(value) + 1)) == ERROR_SUCCESS;
}

}  // namespace

bool UseShellDesktop() {
    // Wine gives a process that names no desktop the one named here, so the
    // installer and the panel it starts share this desktop with the driver.
    if (!SetUserText(kExplorerKey, "Desktop", kShellDesktop)) return false;
    if (!SetUserText(kDesktopsKey, kShellDesktop, kShellDesktopSize)) return false;
    return panel_testing::EnterShellDesktop();
}

void InstallThroughTheWindows(const std::wstring& folder, const std::string& shots, InstallSeen* seen) {
    using namespace setup_testing;
    SetupRun run;
    HWND dialog = run.WaitSetupWindow(kSetupWindowLimit);
    ASSERT_NE(dialog, nullptr) << "the setup window did not come";
    ::SendMessageW(::GetDlgItem(dialog, kPathField), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()));
    ClickControl(dialog, kAgreeTick);
    ASSERT_TRUE(WaitFor(
        [&] { return ::SendMessageW(::GetDlgItem(dialog, kAgreeBox), BM_GETCHECK, 0, 0) == BST_CHECKED; }, kTickLimit));
    SaveScreenshot(dialog, shots + "setup_dialog");
    PressButton(dialog, IDOK);
    const MessageBoxSeen question = run.WaitMessageBox(kQuestionLimit);
    ASSERT_NE(question.window, nullptr) << "no confirmation after the install button";
    seen->question = question.text;
    PressButton(question.window, IDOK);
    HWND success = run.WaitSuccessDialog(kInstallLimit);
    ASSERT_NE(success, nullptr) << "no success dialog; status line: " << Gbk(ChildText(dialog, kStatusLine));
    seen->shownAddress = Gbk(ChildText(success, kAddressField));
    SaveScreenshot(success, shots + "success_dialog");
    PressButton(success, kCloseButton);
    seen->installerEnded = run.WaitExit(kInstallerEndLimit);
}

std::vector<DWORD> ProcessIds(const char* programName) {
    std::vector<DWORD> ids;
    UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot.get(), &entry); more; more = ::Process32Next(snapshot.get(), &entry))
        if (::lstrcmpiA(entry.szExeFile, programName) == 0) ids.push_back(entry.th32ProcessID);
    return ids;
}

DWORD WaitSinglePanel(std::chrono::milliseconds limit) {
    DWORD found = 0;
    WaitFor(
        [&] {
            const std::vector<DWORD> panels = ProcessIds("OrmVexPanel.exe");
            found = panels.size() == 1 ? panels.front() : 0;
            return found != 0;
        },
        limit);
    return found;
}

bool MakeInstallerWithPayload(const std::string& payloadZip, const std::string& target) {
    const std::string payload = testing_support::ReadFileText(payloadZip);
    if (payload.empty()) return false;
    const size_t slash = target.rfind('\\');
    ::CreateDirectoryA(target.substr(0, slash).c_str(), nullptr);
    if (!::CopyFileA((testing_support::TestProgramFolder() + "OrmVexInstall.exe").c_str(), target.c_str(), FALSE))
        return false;
    HANDLE update = ::BeginUpdateResourceA(target.c_str(), FALSE);
    if (!update) return false;
    const bool replaced = ::UpdateResourceA(update, "ZIP", MAKEINTRESOURCEA(kPayloadId), kPayloadLanguage,
                                            const_cast<char*>(payload.data()), static_cast<DWORD>(payload.size()));
    return ::EndUpdateResourceA(update, !replaced) && replaced;
}

bool RunUnattendedUpgrade(const std::string& installer, std::chrono::milliseconds limit) {
    UniqueHandleKernel process = testing_support::StartProgram("\"" + installer + "\" update");
    return process && ::WaitForSingleObject(process.get(), static_cast<DWORD>(limit.count())) == WAIT_OBJECT_0;
}

void Click(HWND dialog, int id) { ::PostMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

std::string IniText(const std::string& file, const char* section, const char* key) {
    char value[512] = {};
    ::GetPrivateProfileStringA(section, key, "", value, sizeof value, file.c_str());
    return value;
}

}  // namespace lifecycle_testing
