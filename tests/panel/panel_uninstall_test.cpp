// "OrmVexPanel.exe uninstall" against a product that the installation steps put in
// place for real: both services running, uninstall entry, installation record,
// shortcuts, autostart value and files. Driven through the panel's dialogs.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include <shlobj.h>

#include "channel/channel_test_support.h"
#include "foundation/hardware.h"
#include "foundation/product.h"
#include "foundation/scramble.h"
#include "foundation/service_ctrl.h"
#include "foundation/text.h"
#include "installer/install_mode.h"
#include "installer/install_steps.h"
#include "panel_driver.h"
#include "support/test_support.h"

using namespace panel_testing;
using testing_support::FileExists;
using testing_support::FolderExists;
using testing_support::ReadFileText;
using testing_support::WaitFor;
using testing_support::WriteFileBytes;

namespace {

constexpr auto kDialogLimit = 20s;
// The uninstall runs the clean-up script, ends processes and empties the folder.
constexpr auto kUninstallLimit = 60s;
// The self-removal script pauses about a second before it deletes anything.
constexpr auto kScriptLimit = 20s;
constexpr auto kServiceLimit = 20s;
const int kTitle = 1000, kMessageText = 1028, kCodeField = 1002;
const wchar_t kCodeTitle[] = L"Orm·防入侵集群系统 - 该操作需要验证授权码";
const wchar_t kDoneText[] = L"[Orm·防入侵集群系统]卸载完成！";
const wchar_t kFilesQuestion[] = L"需要删除 “日志和配置文件” 吗？";
const char kRightCode[] = "ormvex2026";  // the stand-in's default code

void FreeLibraryNoexcept(HMODULE m) noexcept { ::FreeLibrary(m); }
using UniqueLibrary = UniqueHandle<HandleTraits<HMODULE, nullptr, FreeLibraryNoexcept>>;

bool RegistryKeyExists(const std::string& key) {
    UniqueHKey opened;
    return ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, opened.put()) ==
           ERROR_SUCCESS;
}

std::string StartMenuGroup() {
    char programs[MAX_PATH] = {};
    ::SHGetSpecialFolderPathA(nullptr, programs, CSIDL_COMMON_PROGRAMS, FALSE);
    return std::string(programs) + ToGbk(L"\\Orm软件\\防入侵集群系统\\");
}

void ListTree(const std::string& folder, const std::string& prefix, std::set<std::string>& names) {
    WIN32_FIND_DATAA found{};
    UniqueFind search(::FindFirstFileA((folder + "*").c_str(), &found));
    if (!search) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        names.insert(prefix + name);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ListTree(folder + name + "\\", prefix + name + "\\", names);
    } while (::FindNextFileA(search.get(), &found));
}

// Everything of the installation that the uninstall could touch.
struct Footprint {
    std::set<std::string> files;  // below the installation folder
    bool engineService, watchdogService, uninstallEntry, autorun, desktopLink, startMenuLinks, record;

    bool operator==(const Footprint& o) const {
        return files == o.files && engineService == o.engineService && watchdogService == o.watchdogService &&
               uninstallEntry == o.uninstallEntry && autorun == o.autorun && desktopLink == o.desktopLink &&
               startMenuLinks == o.startMenuLinks && record == o.record;
    }
};

std::ostream& operator<<(std::ostream& out, const Footprint& f) {
    out << "services " << f.engineService << f.watchdogService << " entry " << f.uninstallEntry << " autorun "
        << f.autorun << " desktop " << f.desktopLink << " start menu " << f.startMenuLinks << " record " << f.record
        << " files:";
    for (const std::string& name : f.files) out << " " << name;
    return out;
}

Footprint FootprintOf(const std::string& folder) {
    Footprint f;
    ListTree(folder, "", f.files);
    f.files.erase("config\\standin_requests.txt");  // the stand-in's own record of requests
    f.engineService = CServiceCtrl().ServiceExists("ormvex") != 0;
    f.watchdogService = CServiceCtrl().ServiceExists("ormvexd") != 0;
    f.uninstallEntry = RegistryKeyExists(Unscrambled(scrambled::kUninstallParentKey) + "ormvex");
    f.autorun = AutorunValuePresent();
    f.desktopLink = FileExists(CHardware().GetDesktopFolder() + ProductName() + ".lnk");
    f.startMenuLinks = FolderExists(StartMenuGroup());
    f.record = FileExists(InstallRecordPath());
    return f;
}

// Through a third name: a rename that only changes the letter case is ignored by Wine.
bool Rename(const std::string& from, const std::string& to) {
    return ::MoveFileA(from.c_str(), (from + ".renaming").c_str()) &&
           ::MoveFileA((from + ".renaming").c_str(), to.c_str());
}

bool StopService(const char* name) {
    UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    UniqueServiceHandle service(::OpenServiceA(manager.get(), name, SERVICE_STOP | SERVICE_QUERY_STATUS));
    if (!service) return false;
    SERVICE_STATUS status{};
    ::ControlService(service.get(), SERVICE_CONTROL_STOP, &status);
    return WaitFor(
        [&] { return ::QueryServiceStatus(service.get(), &status) && status.dwCurrentState == SERVICE_STOPPED; },
        kServiceLimit);
}

class PanelUninstall : public ::testing::Test {
protected:
    // A new installation in the scene's folder, as the installer leaves it, with the
    // real panel program in it and the services running.
    void InstallProduct() {
        UniqueLibrary carrier(::LoadLibraryExA((testing_support::TestProgramFolder() + "install_carrier.exe").c_str(),
                                               nullptr, LOAD_LIBRARY_AS_DATAFILE));
        ASSERT_TRUE(carrier);
        std::string folder = scene.Folder();
        folder.pop_back();
        InstallInputs inputs;
        inputs.pathField = GbkToWide(folder);
        inputs.desktopLink = true;
        inputs.unattended = true;  // no autorun start, no windows
        inputs.logFolder = scene.Folder();
        inputs.payloadModule = carrier.get();
        InstallUi ui;
        std::string errors;
        ui.showError = [&](const std::string& text) { errors += text; };
        ui.hideSetupWindow = [] {};
        ui.runSuccessDialog = [](const std::string&, const std::string&) {};
        InstallAddresses addresses;
        ASSERT_TRUE(DoInstall(inputs, ui, addresses)) << errors;
        WriteInstallRecord(folder);  // the setup window writes it when the run succeeded
        ASSERT_TRUE(scene.PlacePanelProgram());
        ASSERT_TRUE(WaitFor([] { return CServiceCtrl().IsServiceRunning("ormvex") == 1; }, kServiceLimit));
        ASSERT_TRUE(WaitFor([] { return CServiceCtrl().IsServiceRunning("ormvexd") == 1; }, kServiceLimit));
        const Footprint installed = FootprintOf(scene.Folder());
        ASSERT_TRUE(installed.engineService && installed.watchdogService && installed.uninstallEntry &&
                    installed.autorun && installed.desktopLink && installed.startMenuLinks && installed.record)
            << installed;
    }

    // Settings of the stand-in: [standin] values and [test] switches.
    void Settings(const std::string& standin, const std::string& test) {
        ASSERT_TRUE(scene.Engine().WriteSettings("[standin]\r\n" + standin + "\r\n[test]\r\n" + test + "\r\n"));
    }

    HWND WaitDialog(const std::wstring& text, size_t index) {
        HWND dialog = nullptr;
        WaitFor(
            [&] {
                dialog = FindDialogWithText(scene.ProcessId(index), text);
                return dialog != nullptr;
            },
            kDialogLimit);
        return dialog;
    }

    // Waits for the message dialog with `title`, saves a picture of it and presses `button`.
    HWND Answer(const std::wstring& title, int button, const std::string& picture, size_t index) {
        HWND dialog = WaitDialog(title, index);
        if (!dialog) return nullptr;
        if (!picture.empty()) SaveScreenshot(dialog, "uninstall_" + picture);
        ::PostMessageW(::GetDlgItem(dialog, button), BM_CLICK, 0, 0);
        return dialog;
    }

    // Types the code into the verification dialog and presses OK (Cancel for an empty code).
    bool EnterCode(const std::wstring& code, size_t index) {
        HWND dialog = WaitDialog(kCodeTitle, index);
        if (!dialog) return false;
        if (code.empty()) {
            ::PostMessageW(::GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
            return true;
        }
        TypeText(::GetDlgItem(dialog, kCodeField), code);
        if (!WaitFor([&] { return ChildText(dialog, kCodeField) == code; }, kDialogLimit)) return false;
        SaveScreenshot(dialog, "uninstall_code");
        ::PostMessageW(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        return true;
    }

    // A whole confirmed uninstall with the right code where one is asked for; true
    // when the panel ended with exit code 0. A code dialog that comes unasked stops
    // it before the files question.
    bool Uninstall(bool removeLogsAndConfig, bool codeAsked) {
        const size_t index = scene.Start("uninstall");
        if (!Answer(L"软件卸载", IDOK, "confirmation", index)) return false;
        if (codeAsked && !EnterCode(GbkToWide(kRightCode), index)) return false;
        if (!Answer(L"文件删除确认", removeLogsAndConfig ? IDOK : IDCANCEL, "files_question", index)) return false;
        HWND done = nullptr;
        WaitFor(
            [&] {
                done = FindDialogWithText(scene.ProcessId(index), kDoneText);
                return done != nullptr;
            },
            kUninstallLimit);
        if (!done) return false;
        SaveScreenshot(done, "uninstall_done");
        ::PostMessageW(::GetDlgItem(done, IDOK), BM_CLICK, 0, 0);
        DWORD code = 99;
        return scene.WaitExit(index, kUninstallLimit, &code) && code == 0;
    }

    std::string Requests() { return RecordedRequests(scene); }

    void ExpectProductGone(const Footprint& after) {
        EXPECT_FALSE(after.engineService) << after;
        EXPECT_FALSE(after.watchdogService) << after;
        EXPECT_FALSE(after.uninstallEntry) << after;
        EXPECT_FALSE(after.autorun) << after;
        EXPECT_FALSE(after.desktopLink) << after;
        EXPECT_FALSE(after.startMenuLinks) << after;
        EXPECT_FALSE(after.record) << after;
        EXPECT_TRUE(WaitFor([] { return !testing_support::IsEngineProcessRunning(); }, kServiceLimit));
    }

    PanelScene scene;
};

}  // namespace

TEST_F(PanelUninstall, RemovesTheWholeProductAndEndsTheTrayPanel) {
    ASSERT_NO_FATAL_FAILURE(InstallProduct());
    const size_t tray = scene.Start("autorun");
    ASSERT_TRUE(scene.WaitResident(20s, tray));
    ASSERT_TRUE(Uninstall(true, true));
    EXPECT_TRUE(scene.WaitExit(tray, kDialogLimit, nullptr)) << "the tray panel still runs";
    // The services go once their processes have ended.
    WaitFor([&] { return !FootprintOf(scene.Folder()).engineService; }, kServiceLimit);
    ExpectProductGone(FootprintOf(scene.Folder()));
    // The script removes the panel program, itself and the folder after the panel has
    // ended. Wine's cmd keeps a running script open until it ends, so there its
    // "rd /s" empties the folder but cannot remove it; the cmd of Windows reopens the
    // script for every line, and the folder goes.
    const std::string folder = scene.Folder();
    if (testing_support::RunsOnWine()) {
        EXPECT_TRUE(WaitFor([&] { return FootprintOf(folder).files.empty(); }, kScriptLimit)) << FootprintOf(folder);
        EXPECT_TRUE(::RemoveDirectoryA(folder.c_str())) << "the folder holds something still open";
    } else {
        EXPECT_TRUE(WaitFor([&] { return !FolderExists(folder); }, kScriptLimit)) << FootprintOf(folder);
    }
}

struct KeptNames {
    const char* name;
    const char* config;
    const char* log;
};

class PanelUninstallKeeping : public PanelUninstall, public ::testing::WithParamInterface<KeptNames> {};

TEST_P(PanelUninstallKeeping, KeepsConfigAndLogAndTheFolder) {
    const KeptNames& k = GetParam();
    ASSERT_NO_FATAL_FAILURE(InstallProduct());
    const std::string folder = scene.Folder();
    ASSERT_TRUE(WriteFileBytes(folder + "log\\ormipsd.log", "the watchdog's log"));
    // Windows finds these folders under either spelling; the user's choice must too.
    ASSERT_TRUE(Rename(folder + "config", folder + k.config));
    ASSERT_TRUE(Rename(folder + "log", folder + k.log));
    std::set<std::string> renamed;
    ListTree(folder, "", renamed);
    ASSERT_EQ(renamed.count(k.config) + renamed.count(k.log), 2u);
    ASSERT_TRUE(Uninstall(false, true));
    ASSERT_TRUE(WaitFor([&] { return !FileExists(folder + "OrmVexPanel.exe"); }, kScriptLimit));
    std::set<std::string> left;
    ASSERT_TRUE(WaitFor(
        [&] {
            left.clear();
            ListTree(folder, "", left);
            return std::none_of(left.begin(), left.end(), [](const std::string& n) { return n.find(".bat") != n.npos; });
        },
        kScriptLimit));
    std::set<std::string> top;
    for (const std::string& name : left)
        if (name.find('\\') == std::string::npos) top.insert(name);
    EXPECT_EQ(top, (std::set<std::string>{k.config, k.log}));
    EXPECT_EQ(ReadFileText(folder + k.config + "\\config.db"), "database");
    EXPECT_EQ(ReadFileText(folder + k.log + "\\ormipsd.log"), "the watchdog's log");
    WaitFor([&] { return !FootprintOf(folder).engineService; }, kServiceLimit);
    ExpectProductGone(FootprintOf(folder));
}

INSTANTIATE_TEST_SUITE_P(Names, PanelUninstallKeeping,
                         ::testing::Values(KeptNames{"as_installed", "config", "log"},
                                           KeptNames{"other_letter_case", "Config", "LOG"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PanelUninstall, WithoutACodeNeededNoQueryRuns) {
    ASSERT_NO_FATAL_FAILURE(InstallProduct());
    ASSERT_NO_FATAL_FAILURE(Settings("uninstallcode=0", ""));
    ASSERT_TRUE(Uninstall(false, false));
    const std::string requests = Requests();
    EXPECT_NE(requests.find("<cmd>getauth</cmd>"), std::string::npos) << requests;
    EXPECT_NE(requests.find("<cmd>setinfo</cmd><update>1</update>"), std::string::npos) << requests;
    EXPECT_EQ(requests.find("getuninstallinfo"), std::string::npos) << requests;
}

TEST_F(PanelUninstall, WithTheEngineStoppedTheQueryDecides) {
    ASSERT_NO_FATAL_FAILURE(InstallProduct());
    ASSERT_TRUE(StopService("ormvexd"));
    ASSERT_TRUE(StopService("ormvex"));
    ASSERT_TRUE(Uninstall(false, true));
    const std::string requests = Requests();
    EXPECT_NE(requests.find("getuninstallinfo"), std::string::npos) << requests;
    EXPECT_EQ(requests.find("<cmd>setinfo</cmd>"), std::string::npos) << requests;
}

struct Refusal {
    const char* name;
    const char* standin;         // [standin] values
    const char* test;            // [test] switches
    bool confirm;                // the answer to the first question
    const wchar_t* code;         // typed into the verification dialog; "" cancels it; null: no dialog
    const wchar_t* message;      // the refusal shown, null for none
};

class PanelUninstallRefused : public PanelUninstall, public ::testing::WithParamInterface<Refusal> {};

TEST_P(PanelUninstallRefused, ChangesNothingAndExitsWithZero) {
    const Refusal& r = GetParam();
    ASSERT_NO_FATAL_FAILURE(InstallProduct());
    ASSERT_NO_FATAL_FAILURE(Settings(r.standin, r.test));
    const Footprint before = FootprintOf(scene.Folder());
    const size_t index = scene.Start("uninstall");
    ASSERT_NE(Answer(L"软件卸载", r.confirm ? IDOK : IDCANCEL, "", index), nullptr);
    if (r.code) {
        ASSERT_TRUE(EnterCode(r.code, index));
    }
    if (r.message) {
        HWND refusal = WaitDialog(r.message, index);
        ASSERT_NE(refusal, nullptr);
        EXPECT_EQ(ChildText(refusal, kTitle), L"Orm");
        EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(refusal, IDCANCEL)));
        SaveScreenshot(refusal, std::string("uninstall_refused_") + r.name);
        ::PostMessageW(::GetDlgItem(refusal, IDOK), BM_CLICK, 0, 0);
    }
    DWORD code = 99;
    ASSERT_TRUE(scene.WaitExit(index, kUninstallLimit, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(FootprintOf(scene.Folder()), before);
    EXPECT_EQ(CServiceCtrl().IsServiceRunning("ormvexd"), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Routes, PanelUninstallRefused,
    ::testing::Values(
        Refusal{"confirmation_declined", "", "", false, nullptr, nullptr},
        Refusal{"damaged_answer", "", "uninstallanswer=damaged", true, nullptr, L"接收数据错误，请手动卸载！"},
        Refusal{"no_answer", "", "uninstallanswer=none", true, nullptr, L"接收数据错误，请手动卸载！"},
        Refusal{"verification_cancelled", "", "", true, L"", nullptr},
        Refusal{"code_differs_in_letter_case", "", "", true, L"ORMVEX2026", L"软件授权密码不匹配，验证失败！"},
        Refusal{"confirm_flag_not_one", "uninstallconfirm=0", "", true, nullptr, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

// Without the engine program the panel does not start at all, so the uninstall never
// begins: the start-up check comes first.
TEST_F(PanelUninstall, WithoutTheEngineProgramNothingStarts) {
    ASSERT_NO_FATAL_FAILURE(InstallProduct());
    ASSERT_TRUE(StopService("ormvexd"));
    ASSERT_TRUE(StopService("ormvex"));
    ASSERT_TRUE(::DeleteFileA((scene.Folder() + "ormvex.exe").c_str()));
    const Footprint before = FootprintOf(scene.Folder());
    const size_t index = scene.Start("uninstall");
    HWND box = WaitDialog(L"请将文件放到 Orm·防入侵集群系统 目录！", index);
    ASSERT_NE(box, nullptr);
    SaveScreenshot(box, "uninstall_refused_engine_program_missing");
    ::PostMessageW(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(scene.WaitExit(index, kDialogLimit, nullptr));
    EXPECT_EQ(FootprintOf(scene.Folder()), before);
}

struct PathAnswer {
    const char* name;
    int button;
};

class PanelUninstallPath : public ::testing::TestWithParam<PathAnswer> {};

// A panel in a folder without the product's name asks before anything else; only OK
// goes on, to the usual confirmation.
TEST_P(PanelUninstallPath, FolderWithoutTheProductNameAsksFirst) {
    PanelScene scene;
    const std::string folder = "C:\\OrmProduct\\";
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(scene.PlacePanelProgram(folder));
    ASSERT_TRUE(::CopyFileA(scene.Engine().Program().c_str(), (folder + "ormvex.exe").c_str(), FALSE));
    const size_t index = scene.StartFrom(folder, "uninstall");
    HWND question = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] { return (question = FindDialogWithText(scene.ProcessId(index), L"软件卸载")) != nullptr; }, kDialogLimit));
    EXPECT_EQ(ChildText(question, kMessageText), L"Orm·防入侵集群系统安装路径错误，请手动卸载！");
    SaveScreenshot(question, std::string("uninstall_path_") + GetParam().name);
    ::PostMessageW(::GetDlgItem(question, GetParam().button), BM_CLICK, 0, 0);
    if (GetParam().button == IDOK) {
        HWND confirmation = nullptr;
        ASSERT_TRUE(WaitFor(
            [&] {
                confirmation = FindDialogWithText(scene.ProcessId(index), L"软件卸载");
                return confirmation && confirmation != question &&
                       ChildText(confirmation, kMessageText).find(L"确定要卸载") == 0;
            },
            kDialogLimit));
        // The question's bare line feeds show as one line each in the message's text area.
        EXPECT_EQ(ChildText(confirmation, kMessageText),
                  L"确定要卸载Orm·防入侵集群系统吗？\r\n卸载软件将删除安装目录[C:\\OrmProduct\\]下的所有文件！\r\n"
                  L"卸载后服务器可能会面临安全威胁，请谨慎操作！");
        DWORD_PTR lines = 0;
        ::SendMessageTimeoutW(::GetDlgItem(confirmation, kMessageText), EM_GETLINECOUNT, 0, 0, SMTO_BLOCK, 5000,
                              &lines);
        EXPECT_EQ(lines, 3u);
        SaveScreenshot(confirmation, "uninstall_confirmation_lines");
        ::PostMessageW(::GetDlgItem(confirmation, IDCANCEL), BM_CLICK, 0, 0);
    }
    DWORD code = 99;
    ASSERT_TRUE(scene.WaitExit(index, kDialogLimit, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(FileExists(folder + "OrmVexPanel.exe"));
    EXPECT_TRUE(FileExists(folder + "ormvex.exe"));
}

INSTANTIATE_TEST_SUITE_P(Answers, PanelUninstallPath,
                         ::testing::Values(PathAnswer{"declined", IDCANCEL}, PathAnswer{"accepted", IDOK}),
                         [](const auto& info) { return std::string(info.param.name); });
