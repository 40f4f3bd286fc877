// The real OrmVexInstall.exe under Wine, each case in a fresh prefix: which mode it
// chooses at start, every refusal of the install button with its exact text, the
// version question, and whole runs checked from outside.
#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <regex>

#include "channel/standin_engine.h"
#include "foundation/scramble.h"
#include "foundation/text.h"
#include "foundation/unique_handle.h"
#include "panel/panel_driver.h"
#include "setup_driver.h"
#include "support/test_support.h"

#include <shlobj.h>

using namespace setup_testing;
using testing_support::FileExists;
using testing_support::FolderExists;
using testing_support::ReadFileText;
using testing_support::ShellLinkFields;
using testing_support::WaitFor;

namespace {

constexpr auto kWindowLimit = 20s;
constexpr char kInstalled[] = "C:\\ormvexold\\";

bool IsReadOnly(HWND dialog, int id) { return (::GetWindowLongW(::GetDlgItem(dialog, id), GWL_STYLE) & ES_READONLY) != 0; }
bool IsEnabled(HWND dialog, int id) { return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE; }

void TypePath(HWND dialog, const std::wstring& path) {
    ::SendMessageW(::GetDlgItem(dialog, kPathField), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
}

// The agreement tick, clicked and seen ticked through the hidden box it drives.
void TickAgreement(HWND dialog) {
    ClickControl(dialog, kAgreeTick);
    ASSERT_TRUE(WaitFor([&] { return ::SendMessageW(::GetDlgItem(dialog, 1006), BM_GETCHECK, 0, 0) == BST_CHECKED; },
                        5s));
}

// After a refusal the window is usable again and its status line is empty.
void ExpectIdleAgain(HWND dialog) {
    EXPECT_TRUE(WaitFor([&] { return IsEnabled(dialog, kPathField) && IsEnabled(dialog, IDOK); }, 5s));
    EXPECT_TRUE(IsEnabled(dialog, kChooseButton));
    EXPECT_EQ(ChildText(dialog, kStatusLine), L"");
}

std::string Log(const std::string& folder) { return UpdateLog(folder); }
bool ServiceRunning(const char* name) { return ServiceState(name) == SERVICE_RUNNING; }

DWORD ServiceStartType(const char* name) {
    UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    UniqueServiceHandle service(::OpenServiceA(manager.get(), name, SERVICE_QUERY_CONFIG));
    std::vector<BYTE> buffer(8192, 0);
    DWORD needed = 0;
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
    if (!service || !::QueryServiceConfigA(service.get(), config, static_cast<DWORD>(buffer.size()), &needed))
        return 0;
    return config->dwStartType;
}

// Restart actions as the control manager stores them. Wine accepts them and stores
// nothing (the query fails with ERROR_INVALID_LEVEL); only a system that keeps
// them can show them.
void ExpectRestartActionsUnlessWineDropsThem(const char* name) {
    UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    UniqueServiceHandle service(::OpenServiceA(manager.get(), name, SERVICE_QUERY_CONFIG));
    ASSERT_TRUE(service) << name;
    std::vector<BYTE> buffer(8192, 0);
    DWORD needed = 0;
    if (!::QueryServiceConfig2A(service.get(), SERVICE_CONFIG_FAILURE_ACTIONS, buffer.data(),
                                static_cast<DWORD>(buffer.size()), &needed)) {
        EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_LEVEL)) << name;
        return;
    }
    const auto* actions = reinterpret_cast<SERVICE_FAILURE_ACTIONSA*>(buffer.data());
    ASSERT_GT(actions->cActions, 0u) << name;
    for (DWORD i = 0; i < actions->cActions; ++i) EXPECT_EQ(actions->lpsaActions[i].Type, SC_ACTION_RESTART) << name;
}

std::string ProgramGroup() {
    wchar_t path[MAX_PATH] = {};
    ::SHGetSpecialFolderPathW(nullptr, path, CSIDL_COMMON_PROGRAMS, FALSE);
    return Gbk(path) + Gbk(L"\\Orm软件\\防入侵集群系统\\");
}

std::string DesktopFolder() {
    wchar_t path[MAX_PATH] = {};
    ::SHGetSpecialFolderPathW(nullptr, path, CSIDL_DESKTOPDIRECTORY, FALSE);
    return Gbk(path) + "\\";
}

// Seconds since `start`, written where the test log keeps it.
void ReportDuration(const char* what, std::chrono::steady_clock::time_point start) {
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << what << ": " << seconds << " s" << std::endl;
    ::testing::Test::RecordProperty(what, std::to_string(seconds));
}

// The address the recorder standing in for the browser was asked to open.
constexpr char kOpenedFile[] = "C:\\opened_address.txt";
std::string OpenedAddress() {
    WaitFor([] { return FileExists(kOpenedFile); }, 15s);
    return ReadFileText(kOpenedFile);
}

std::string RegistryText(const std::string& keyPath, const char* value) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return std::string();
    UniqueHKey owned(key);
    char data[1024] = {};
    DWORD size = sizeof data;
    if (::RegQueryValueExA(owned.get(), value, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
        return std::string();
    return data;
}

}  // namespace

// ---- Mode selection -------------------------------------------------------------

TEST(SetupModes, WithoutRecordProposesAFreshEditableFolder) {
    SetupRun run;
    HWND dialog = run.WaitSetupWindow(kWindowLimit);
    ASSERT_NE(dialog, nullptr);
    const std::wstring path = ChildText(dialog, kPathField);
    EXPECT_TRUE(std::regex_match(Gbk(path), std::regex(R"([CD]:\\ormtech\.local\\ormvex[0-9]{4}\\)"))) << Gbk(path);
    EXPECT_FALSE(IsReadOnly(dialog, kPathField));
    EXPECT_EQ(ChildText(dialog, 1008), L"1.1.0");
    RECT r{};
    ::GetWindowRect(dialog, &r);
    EXPECT_EQ(r.right - r.left, 600);
    EXPECT_EQ(r.bottom - r.top, 410);
    SaveScreenshot(dialog, "setup_dialog");
}

struct ModeCase {
    const char* name;
    bool record;          // an installation record naming kInstalled (without its backslash)
    bool folderThere;     // kInstalled exists, holding version 1.2.0 so an unattended run stops at once
    const char* arguments;
    bool unattended;
};

void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.name; }

class SetupModeTable : public ::testing::TestWithParam<ModeCase> {};

TEST_P(SetupModeTable, ChoosesTheMode) {
    const ModeCase& c = GetParam();
    if (c.folderThere) PrepareInstallation(kInstalled, "1.2.0");
    if (c.record) WriteRecord(std::string(kInstalled).substr(0, std::string(kInstalled).size() - 1));
    SetupRun run(c.arguments);
    HWND dialog = run.WaitSetupWindow(kWindowLimit);
    ASSERT_NE(dialog, nullptr);
    const std::wstring path = ChildText(dialog, kPathField);
    if (c.record && c.folderThere) {
        EXPECT_EQ(Gbk(path), kInstalled);
        EXPECT_TRUE(IsReadOnly(dialog, kPathField));
    } else {
        EXPECT_NE(Gbk(path).find("ormtech.local"), std::string::npos) << Gbk(path);
        EXPECT_FALSE(IsReadOnly(dialog, kPathField));
    }
    if (c.unattended) {
        // Started at once; the newer installed version is refused in the log only, and
        // the window stays open and usable.
        const std::string expected = Gbk(L"启动在线升级") + "\r\n";
        ASSERT_TRUE(WaitFor([&] { return Log(kInstalled).find(Gbk(L"无法升级到更陈旧的版本。")) != std::string::npos; }, 10s))
            << Log(kInstalled);
        const std::string log = Log(kInstalled);
        EXPECT_NE(log.find("\t" + expected), std::string::npos);
        EXPECT_NE(log.find("\t" + Gbk(L"当前系统已经安装过更新的版本：1.2.0，无法升级到更陈旧的版本。") + "\r\n"),
                  std::string::npos);
        ExpectIdleAgain(dialog);
        EXPECT_TRUE(run.IsRunning());
        EXPECT_EQ(run.WaitMessageBox(1s).window, nullptr);
    } else {
        EXPECT_FALSE(FileExists(std::string(kInstalled) + "log\\update.log"));
        EXPECT_TRUE(IsEnabled(dialog, IDOK));
    }
}

INSTANTIATE_TEST_SUITE_P(
    SetupModes, SetupModeTable,
    ::testing::Values(ModeCase{"NoRecord", false, false, "", false},
                      ModeCase{"RecordedFolderGoneUpdateIgnored", true, false, "update", false},
                      ModeCase{"RecordedFolderThere", true, true, "", false},
                      ModeCase{"UpdateWord", true, true, "update", true},
                      ModeCase{"UpperCaseUpdateWord", true, true, "UPDATE", true},
                      ModeCase{"UpdateAsThirdWord", true, true, "now update", false}),
    [](const ::testing::TestParamInfo<ModeCase>& info) { return std::string(info.param.name); });

// ---- Refusals of the install button ----------------------------------------------

struct RefusalCase {
    const char* name;
    const wchar_t* path;
    bool tick;
    const char* hostProductFolder;  // a folder holding ormips.exe, or null
    const wchar_t* title;
    const wchar_t* text;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class SetupRefusalTable : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(SetupRefusalTable, RefusesWithItsTextAndTouchesNothing) {
    const RefusalCase& c = GetParam();
    if (c.hostProductFolder) {
        ::CreateDirectoryA(c.hostProductFolder, nullptr);
        ASSERT_TRUE(testing_support::WriteFileBytes(std::string(c.hostProductFolder) + "\\ormips.exe", "MZ"));
    }
    SetupRun run;
    HWND dialog = run.WaitSetupWindow(kWindowLimit);
    ASSERT_NE(dialog, nullptr);
    if (c.path) TypePath(dialog, c.path);
    if (c.tick) TickAgreement(dialog);
    PressButton(dialog, IDOK);
    MessageBoxSeen box = run.WaitMessageBox(10s);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.title, c.title);
    EXPECT_EQ(box.text, c.text);
    EXPECT_FALSE(box.cancelShown);
    if (std::string(c.name) == "NoAgreement") SaveScreenshot(box.window, "message_box");
    PressButton(box.window, IDOK);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(box.window); }, 5s));
    ExpectIdleAgain(dialog);
    EXPECT_FALSE(FileExists(RecordPath()));
    EXPECT_FALSE(FolderExists("C:\\ormtech.local"));
    if (c.hostProductFolder) {
        EXPECT_FALSE(FolderExists(std::string(c.hostProductFolder) + "\\log"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    SetupRefusals, SetupRefusalTable,
    ::testing::Values(
        RefusalCase{"NoAgreement", nullptr, false, nullptr, L"Orm·防入侵集群系统",
                    L"请先勾选“我已阅读并同意使用许可协议”"},
        RefusalCase{"ChineseBeforeBlank", L"C:\\安装 目录", true, nullptr, L"Orm·防入侵集群系统",
                    L"暂不用支持安装到中文路径：C:\\安装 目录，请重新选择。"},
        RefusalCase{"ForwardSlash", L"C:/ormvex", true, nullptr, L"Orm·防入侵集群系统",
                    L"路径格式不正确：C:/ormvex，请重新选择。"},
        RefusalCase{"TwoLetterDrive", L"CD:\\ormvex", true, nullptr, L"Orm·防入侵集群系统",
                    L"路径格式不正确：CD:\\ormvex，请重新选择。"},
        RefusalCase{"RelativePath", L"ormvex\\here", true, nullptr, L"Orm·防入侵集群系统",
                    L"路径格式不正确：ormvex\\here，请重新选择。"},
        RefusalCase{"Blank", L"C:\\my ormvex", true, nullptr, L"Orm·防入侵集群系统",
                    L"安装路径不能含有空格：C:\\my ormvex，请重新选择。"},
        RefusalCase{"SingleHostProduct", L"C:\\ormvexhost", true, "C:\\ormvexhost", L"Orm·防入侵集群系统",
                    L"指定目录已存在Orm·防入侵系统文件，无法安装到此目录，\r\n请重新选择安装目录。"}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

// ---- Installed version -------------------------------------------------------------

struct VersionCase {
    const char* name;
    const char* version;
    bool asked;  // the upgrade question; otherwise the refusal
};

void PrintTo(const VersionCase& c, std::ostream* os) { *os << c.name; }

class SetupVersionTable : public ::testing::TestWithParam<VersionCase> {};

TEST_P(SetupVersionTable, AsksOrRefuses) {
    const VersionCase& c = GetParam();
    PrepareInstallation(kInstalled, c.version);
    WriteRecord(kInstalled);
    SetupRun run;
    HWND dialog = run.WaitSetupWindow(kWindowLimit);
    ASSERT_NE(dialog, nullptr);
    TickAgreement(dialog);
    PressButton(dialog, IDOK);
    MessageBoxSeen box = run.WaitMessageBox(10s);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.title, L"Orm·防入侵集群系统");
    const std::wstring version(c.version, c.version + strlen(c.version));
    if (c.asked) {
        EXPECT_EQ(box.text, L"当前已经安装了版本V" + version + L"，继续安装V1.1.0吗？\r\n升级安装将不会丢失既有的配置信息。");
        EXPECT_TRUE(box.cancelShown);
        PressButton(box.window, IDCANCEL);
    } else {
        EXPECT_EQ(box.text, L"当前系统已经安装过更新的版本：" + version + L"，无法升级到更陈旧的版本。");
        EXPECT_FALSE(box.cancelShown);
        PressButton(box.window, IDOK);
    }
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(box.window); }, 5s));
    ExpectIdleAgain(dialog);
    EXPECT_EQ(run.WaitMessageBox(1s).window, nullptr);
    EXPECT_FALSE(FileExists(std::string(kInstalled) + "log\\update.log"));
    EXPECT_EQ(ReadRecord("settime"), "");
}

INSTANTIATE_TEST_SUITE_P(SetupVersions, SetupVersionTable,
                         ::testing::Values(VersionCase{"Older", "1.0.9", true}, VersionCase{"ShortOlder", "1.1", true},
                                           VersionCase{"Same", "1.1.0", true}, VersionCase{"NewerPatch", "1.1.1", false},
                                           VersionCase{"NewerMinor", "1.2", false}),
                         [](const ::testing::TestParamInfo<VersionCase>& info) { return std::string(info.param.name); });

// ---- The confirmation -------------------------------------------------------------

struct QuestionCase {
    const char* name;
    const wchar_t* typed;
    bool engineThere;           // the typed folder holds ormvex.exe already
    const wchar_t* questionRe;  // the whole question, as a regular expression over GBK bytes
};

void PrintTo(const QuestionCase& c, std::ostream* os) { *os << c.name; }

class SetupQuestionTable : public ::testing::TestWithParam<QuestionCase> {};

TEST_P(SetupQuestionTable, NamesTheFolderAndCancelTouchesNothing) {
    const QuestionCase& c = GetParam();
    if (c.engineThere) {
        ::CreateDirectoryA("C:\\ormvexbare", nullptr);
        ASSERT_TRUE(testing_support::WriteFileBytes("C:\\ormvexbare\\ormvex.exe", "MZ"));
    }
    SetupRun run;
    HWND dialog = run.WaitSetupWindow(kWindowLimit);
    ASSERT_NE(dialog, nullptr);
    TypePath(dialog, c.typed);
    TickAgreement(dialog);
    PressButton(dialog, IDOK);
    MessageBoxSeen box = run.WaitMessageBox(10s);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.title, L"Orm·防入侵集群系统");
    EXPECT_TRUE(box.cancelShown);
    const std::string pathNow = Gbk(ChildText(dialog, kPathField));
    EXPECT_TRUE(std::regex_match(Gbk(box.text), std::regex(Gbk(c.questionRe)))) << Gbk(box.text);
    EXPECT_NE(Gbk(box.text).find("[" + pathNow + "]"), std::string::npos) << pathNow;
    PressButton(box.window, IDCANCEL);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(box.window); }, 5s));
    ExpectIdleAgain(dialog);
    EXPECT_FALSE(FolderExists(pathNow) && !c.engineThere);
}

INSTANTIATE_TEST_SUITE_P(
    SetupQuestions, SetupQuestionTable,
    ::testing::Values(
        QuestionCase{"FolderNamedForTheProduct", L"C:\\ormvexnew", false,
                     LR"(确定安装Orm·防入侵集群系统到\[C:\\ormvexnew\]吗？\r\n注意：卸载时会删除该目录下的文件。)"},
        QuestionCase{"ProductFolderAppended", L"C:\\\\data", false,
                     LR"(确定安装Orm·防入侵集群系统到\[C:\\data\\ormvex[0-9]{4}\\\]吗？\r\n注意：卸载时会删除该目录下的文件。)"},
        QuestionCase{"UpperCaseNameGetsTheFolder", L"E:\\ORMVEX\\", false,
                     LR"(确定安装Orm·防入侵集群系统到\[E:\\ORMVEX\\ormvex[0-9]{4}\\\]吗？\r\n注意：卸载时会删除该目录下的文件。)"},
        QuestionCase{"EngineAlreadyThere", L"C:\\ormvexbare", true,
                     LR"(指定目录已存在防入侵集群系统的相关文件，确定安装Orm·防入侵集群系统到\[C:\\ormvexbare\]吗？)"}),
    [](const ::testing::TestParamInfo<QuestionCase>& info) { return std::string(info.param.name); });

// ---- Whole runs ------------------------------------------------------------------

TEST(SetupRuns, NewInstallationThroughTheWindows) {
    const std::string folder = "C:\\ormvexsite\\";
    const std::string panel = folder + "OrmVexPanel.exe";
    AddressService addressService("203.0.113.7");
    ASSERT_TRUE(addressService.WaitAnswering());
    ASSERT_TRUE(panel_testing::RegisterAddressRecorder("C:\\setup\\"));
    testing_support::ClearClipboard();
    SetupRun run;
    HWND dialog = run.WaitSetupWindow(kWindowLimit);
    ASSERT_NE(dialog, nullptr);
    TypePath(dialog, L"C:\\ormvexsite\\");
    TickAgreement(dialog);
    PressButton(dialog, IDOK);
    MessageBoxSeen box = run.WaitMessageBox(10s);
    ASSERT_NE(box.window, nullptr);
    const auto started = std::chrono::steady_clock::now();
    PressButton(box.window, IDOK);

    HWND success = run.WaitSuccessDialog(120s);
    ASSERT_NE(success, nullptr);
    ReportDuration("new installation, confirmation to success dialog", started);
    EXPECT_FALSE(::IsWindowVisible(dialog));
    EXPECT_EQ(Text(success), SetupTitle());
    // The address service answered with an IPv4 address: the field shows the public
    // address, built from the local one under the new entry path.
    const std::string shown = Gbk(ChildText(success, kAddressField));
    std::smatch entry;
    ASSERT_TRUE(std::regex_match(shown, entry, std::regex(R"(http://203\.0\.113\.7:6689/([0-9a-z]{8}))"))) << shown;
    const std::string local = "http://localhost:6689/" + entry[1].str();
    SaveScreenshot(success, "success_dialog");
    // Copy puts exactly the public address on the clipboard as CF_TEXT, and says so.
    ClickControl(success, kCopyArea);
    MessageBoxSeen notice = run.WaitMessageBox(10s);
    ASSERT_NE(notice.window, nullptr);
    EXPECT_EQ(notice.title, L"Orm·防入侵集群系统");
    EXPECT_EQ(notice.text, L"复制成功，请在本地浏览器访问！\r\n建议使用：Chrome、FireFox、Microsoft Edge、360安全浏览器");
    EXPECT_FALSE(notice.cancelShown);
    EXPECT_EQ(testing_support::ClipboardText(), shown);
    PressButton(notice.window, IDOK);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(notice.window); }, 5s));
    // Open shows the local address in the browser; the dialog stays.
    ClickControl(success, kOpenArea);
    EXPECT_EQ(OpenedAddress(), local);
    EXPECT_TRUE(::IsWindow(success));
    PressButton(success, kCloseButton);
    ASSERT_TRUE(run.WaitExit(20s));

    // Files and the log folder.
    for (const char* name : {"OrmVexPanel.exe", "ormvex.exe", "ormvexd.exe", "update.exe", "http\\index.html",
                             "config\\config.db", "sqlite3.dll", "ReadMe.txt"})
        EXPECT_TRUE(FileExists(folder + name)) << name;
    EXPECT_TRUE(FolderExists(folder + "recycle"));
    EXPECT_TRUE(FolderExists(folder + "log"));
    // Both services automatic, to be restarted on failure, running; the engine serves
    // the address the run made.
    EXPECT_TRUE(WaitFor([] { return ServiceRunning("ormvex") && ServiceRunning("ormvexd"); }, 30s));
    for (const char* service : {"ormvex", "ormvexd"}) {
        EXPECT_EQ(ServiceStartType(service), static_cast<DWORD>(SERVICE_AUTO_START)) << service;
        ExpectRestartActionsUnlessWineDropsThem(service);
    }
    EXPECT_EQ(EngineLocalUrl(folder), local);
    // The uninstall entry and the autostart value.
    const std::string uninstallKey = Unscrambled(scrambled::kUninstallParentKey) + "ormvex";
    const std::pair<const char*, std::string> values[] = {
        {"DisplayIcon", panel},
        {"DisplayName", Gbk(L"Orm·防入侵集群系统")},
        {"DisplayVersion", "1.1.0"},
        {"Publisher", "Ormtech"},
        {"UninstallPath", panel + " uninstall"},
        {"UninstallString", panel + " uninstall"},
    };
    for (const auto& [name, data] : values) EXPECT_EQ(RegistryText(uninstallKey, name), data) << name;
    EXPECT_EQ(RegistryText(Unscrambled(scrambled::kRunKeyPath), "OrmVexPanel"), "\"" + panel + "\" -autorun");
    // The links, read back through the shell.
    const std::string group = ProgramGroup();
    struct LinkCase {
        std::string link, target, icon, arguments, description;
    } links[] = {
        {DesktopFolder() + Gbk(L"Orm·防入侵集群系统.lnk"), panel, panel, "", Gbk(L"Orm·防入侵集群系统")},
        {group + Gbk(L"打开[Orm·防入侵集群系统]托盘.lnk"), panel, panel, "", Gbk(L"打开[Orm·防入侵集群系统]托盘")},
        {group + Gbk(L"打开[Orm·防入侵集群系统]面板.lnk"), local, panel, "", Gbk(L"打开[Orm·防入侵集群系统]面板")},
        // The shell keeps the quoted target without its quotes.
        {folder + "uninstall.lnk", panel, panel, "uninstall", Gbk(L"卸载防入侵集群系统")},
        {group + Gbk(L"卸载[Orm·防入侵集群系统].lnk"), folder + "uninstall.lnk", folder + "uninstall.lnk", "",
         Gbk(L"卸载[Orm·防入侵集群系统]")},
    };
    for (const LinkCase& c : links) {
        SCOPED_TRACE(c.link);
        ShellLinkFields fields;
        ASSERT_TRUE(testing_support::ReadShellLink(c.link, fields));
        std::string target = Gbk(fields.target);
        // Wine's link object keeps a target that is no file as a path below the
        // folder the installer ran in ("C:\setup\http:\localhost:6689\...").
        if (c.target == local && target != local) {
            std::string asPath = "C:\\setup\\" + local;
            ReplaceAll("//", asPath, "/");
            ReplaceAll("/", asPath, "\\");
            EXPECT_EQ(target, asPath);
        } else {
            EXPECT_EQ(target, c.target);
        }
        EXPECT_EQ(Gbk(fields.icon), c.icon);
        EXPECT_EQ(Gbk(fields.arguments), c.arguments);
        EXPECT_EQ(Gbk(fields.description), c.description);
        EXPECT_EQ(Gbk(fields.workingFolder), c.link.substr(0, 3));
    }
    // The installation record, and the panel started for the tray.
    EXPECT_EQ(ReadRecord("apppath"), folder);
    EXPECT_TRUE(std::regex_match(ReadRecord("settime"), std::regex(R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2})")));
    std::wstring panelLine;
    EXPECT_TRUE(WaitFor([&] { return !(panelLine = RunningCommandLine(L"OrmVexPanel.exe")).empty(); }, 20s));
    EXPECT_TRUE(std::regex_match(Gbk(panelLine), std::regex(R"(.*OrmVexPanel\.exe"? autorun)", std::regex::icase)))
        << Gbk(panelLine);
}

TEST(SetupRuns, NewInstallationWithoutDesktopLinksAsksTheEngineForItsAddress) {
    const std::string folder = "C:\\ormvexplain\\";
    // An answer that is no IPv4 address leaves the public address empty.
    AddressService addressService("not-an-address");
    ASSERT_TRUE(addressService.WaitAnswering());
    ASSERT_TRUE(panel_testing::RegisterAddressRecorder("C:\\setup\\"));
    SetupRun run;
    HWND dialog = run.WaitSetupWindow(kWindowLimit);
    ASSERT_NE(dialog, nullptr);
    TypePath(dialog, L"C:\\ormvexplain\\");
    ClickControl(dialog, kDesktopTick);
    ASSERT_TRUE(WaitFor([&] { return ::SendMessageW(::GetDlgItem(dialog, 1005), BM_GETCHECK, 0, 0) == BST_UNCHECKED; },
                        5s));
    TickAgreement(dialog);
    PressButton(dialog, IDOK);
    MessageBoxSeen box = run.WaitMessageBox(10s);
    ASSERT_NE(box.window, nullptr);
    PressButton(box.window, IDOK);

    HWND success = run.WaitSuccessDialog(120s);
    ASSERT_NE(success, nullptr);
    // The field shows the local address, the one the engine reports.
    const std::string shown = Gbk(ChildText(success, kAddressField));
    EXPECT_TRUE(std::regex_match(shown, std::regex(R"(http://localhost:6689/[0-9a-z]{8})"))) << shown;
    EXPECT_EQ(EngineLocalUrl(folder), shown);
    ClickControl(success, kOpenArea);
    EXPECT_EQ(OpenedAddress(), shown);
    EXPECT_TRUE(::IsWindow(success));
    // Nothing public to copy: told so, and the dialog ends the run.
    ClickControl(success, kCopyArea);
    MessageBoxSeen notice = run.WaitMessageBox(10s);
    ASSERT_NE(notice.window, nullptr);
    EXPECT_EQ(notice.title, L"Orm·防入侵集群系统");
    EXPECT_EQ(notice.text, L"网址获取出错");
    EXPECT_FALSE(notice.cancelShown);
    PressButton(notice.window, IDOK);
    ASSERT_TRUE(run.WaitExit(20s));

    // No links anywhere; the rest of a new installation is there.
    EXPECT_FALSE(FileExists(DesktopFolder() + Gbk(L"Orm·防入侵集群系统.lnk")));
    EXPECT_FALSE(FolderExists(ProgramGroup()));
    EXPECT_FALSE(FileExists(folder + "uninstall.lnk"));
    EXPECT_EQ(RegistryText(Unscrambled(scrambled::kUninstallParentKey) + "ormvex", "UninstallString"),
              folder + "OrmVexPanel.exe uninstall");
    EXPECT_TRUE(WaitFor([] { return ServiceRunning("ormvex") && ServiceRunning("ormvexd"); }, 30s));
    EXPECT_EQ(ReadRecord("apppath"), folder);
}

TEST(SetupRuns, UnattendedUpgradeLogsAndEndsByItself) {
    PrepareInstallation(kInstalled, "1.1.0");
    WriteRecord(kInstalled);
    SetupRun run("update");
    ASSERT_TRUE(run.WaitExit(120s)) << Log(kInstalled);
    const std::string log = Log(kInstalled);
    const size_t started = log.find("\t" + Gbk(L"启动在线升级") + "\r\n");
    const size_t finished = log.find("\t" + Gbk(L"升级完成！") + "\r\n");
    ASSERT_NE(started, std::string::npos) << log;
    ASSERT_NE(finished, std::string::npos) << log;
    EXPECT_LT(started, finished);
    EXPECT_NE(ReadFileText(std::string(kInstalled) + "ormvex.exe"), "MZ old engine");
    EXPECT_TRUE(FileExists(std::string(kInstalled) + "update.exe"));
    EXPECT_EQ(ReadRecord("apppath"), kInstalled);
    EXPECT_NE(ReadRecord("settime"), "");
    // An upgrade keeps the engine's configuration and writes no uninstall entry.
    EXPECT_EQ(RegistryText(Unscrambled(scrambled::kUninstallParentKey) + "ormvex", "UninstallString"), "");
    // The panel comes back through its autostart value at the next logon, not now.
    EXPECT_EQ(RunningCommandLine(L"OrmVexPanel.exe"), L"");
}

TEST(SetupRuns, UnattendedRunOverANewerVersionIsRefusedInTheLogAndStaysOpen) {
    PrepareInstallation(kInstalled, "1.2.0");
    WriteRecord(kInstalled);
    SetupRun run("update");
    const std::string refusal = "\t" + Gbk(L"当前系统已经安装过更新的版本：1.2.0，无法升级到更陈旧的版本。") + "\r\n";
    ASSERT_TRUE(WaitFor([&] { return Log(kInstalled).find(refusal) != std::string::npos; }, 30s)) << Log(kInstalled);
    // No message box and no end: the window stays open and usable, as after any refusal.
    EXPECT_EQ(run.WaitMessageBox(2s).window, nullptr);
    EXPECT_TRUE(run.IsRunning());
    EXPECT_NE(run.WaitSetupWindow(5s), nullptr);
    EXPECT_EQ(ReadFileText(std::string(kInstalled) + "ormvex.exe"), "MZ old engine");
    EXPECT_EQ(ReadRecord("settime"), "");
}

TEST(SetupRuns, ClosingDuringTheRunAsksFirst) {
    SetupRun run;
    HWND dialog = run.WaitSetupWindow(kWindowLimit);
    ASSERT_NE(dialog, nullptr);
    TypePath(dialog, L"C:\\ormvexbusy\\");
    TickAgreement(dialog);
    PressButton(dialog, IDOK);
    MessageBoxSeen confirm = run.WaitMessageBox(10s);
    ASSERT_NE(confirm.window, nullptr);
    PressButton(confirm.window, IDOK);
    ASSERT_TRUE(WaitFor([&] { return ChildText(dialog, kStatusLine) == L"正在安装..."; }, 10s));
    EXPECT_FALSE(IsEnabled(dialog, IDOK));

    // Cancel keeps the run going; OK ends the process.
    const std::wstring question = L"正在执行安装任务，中断安装可能导致问题，确定中断吗？";
    PressButton(dialog, kCloseButton);
    MessageBoxSeen box = run.WaitMessageBox(10s);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.title, L"Orm");
    EXPECT_EQ(box.text, question);
    EXPECT_TRUE(box.cancelShown);
    PressButton(box.window, IDCANCEL);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(box.window); }, 5s));
    EXPECT_TRUE(run.IsRunning());
    PressButton(dialog, kCloseButton);
    box = run.WaitMessageBox(10s);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, question);
    PressButton(box.window, IDOK);
    EXPECT_TRUE(run.WaitExit(10s));
    EXPECT_EQ(ReadRecord("apppath"), "");
}

TEST(SetupFolderChoice, UpgradeKeepsItsPath) {
    PrepareInstallation(kInstalled, "1.0.9");
    WriteRecord(kInstalled);
    SetupRun run;
    HWND dialog = run.WaitSetupWindow(kWindowLimit);
    ASSERT_NE(dialog, nullptr);
    PressButton(dialog, kChooseButton);
    MessageBoxSeen box = run.WaitMessageBox(10s);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.title, L"Orm");
    EXPECT_EQ(box.text, L"升级安装不能修改安装路径！");
    EXPECT_FALSE(box.cancelShown);
    PressButton(box.window, IDOK);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(box.window); }, 5s));
    EXPECT_EQ(Gbk(ChildText(dialog, kPathField)), kInstalled);
}

TEST(SetupFolderChoice, CancelledChooserLeavesThePath) {
    SetupRun run;
    HWND dialog = run.WaitSetupWindow(kWindowLimit);
    ASSERT_NE(dialog, nullptr);
    const std::wstring before = ChildText(dialog, kPathField);
    PressButton(dialog, kChooseButton);
    HWND chooser = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] {
            chooser = nullptr;
            for (HWND window = ::GetTopWindow(nullptr); window; window = ::GetWindow(window, GW_HWNDNEXT)) {
                DWORD owner = 0;
                ::GetWindowThreadProcessId(window, &owner);
                if (owner == run.Id() && window != dialog && ::IsWindowVisible(window) &&
                    ::GetWindow(window, GW_OWNER) == dialog)
                    chooser = window;
            }
            return chooser != nullptr;
        },
        10s));
    SaveScreenshot(chooser, "folder_chooser");
    PressButton(chooser, IDCANCEL);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(chooser); }, 5s));
    EXPECT_EQ(ChildText(dialog, kPathField), before);
}

TEST(SetupRuns, InteractiveUpgradeOverARunningEngine) {
    testing_support::StandinEngine engine;
    ASSERT_TRUE(engine.Start());
    const std::string folder = engine.Folder();
    ASSERT_TRUE(WaitFor([&] { return FileExists(folder + "config\\cache.ini"); }, 10s));
    WriteRecord(folder);
    SetupRun run;
    HWND dialog = run.WaitSetupWindow(kWindowLimit);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(IsReadOnly(dialog, kPathField));
    TickAgreement(dialog);
    PressButton(dialog, IDOK);
    MessageBoxSeen question = run.WaitMessageBox(10s);
    ASSERT_NE(question.window, nullptr);
    EXPECT_EQ(question.text, L"当前已经安装了版本V1.1.0，继续安装V1.1.0吗？\r\n升级安装将不会丢失既有的配置信息。");
    PressButton(question.window, IDOK);
    EXPECT_TRUE(WaitFor([&] { return ChildText(dialog, kStatusLine) == L"正在升级..."; }, 10s));

    HWND success = run.WaitSuccessDialog(120s);
    ASSERT_NE(success, nullptr);
    // No new entry path on an upgrade: the address is the one the engine reports.
    const std::string address = Gbk(ChildText(success, kAddressField));
    EXPECT_EQ(address.rfind("http://localhost:6689", 0), 0u) << address;
    PressButton(success, kCloseButton);
    ASSERT_TRUE(run.WaitExit(20s));

    EXPECT_TRUE(FileExists(folder + "update.exe"));
    EXPECT_TRUE(WaitFor([] { return ServiceRunning("ormvex") && ServiceRunning("ormvexd"); }, 30s));
    EXPECT_EQ(ReadRecord("apppath"), folder);
    EXPECT_NE(ReadRecord("settime"), "");
    EXPECT_EQ(RegistryText(Unscrambled(scrambled::kUninstallParentKey) + "ormvex", "UninstallString"), "");
    EXPECT_EQ(Log(folder).find(Gbk(L"失败")), std::string::npos) << Log(folder);
}
