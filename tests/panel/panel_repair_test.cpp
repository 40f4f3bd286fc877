// Repair through the real panel's tray menu: the two services in the prefix's
// service control manager, the firewall commands run through the command
// interpreter, and the desktop shortcut read back through the shell.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <vector>

#include "foundation/scramble.h"
#include "foundation/text.h"
#include "panel_driver.h"
#include "service/service_test_support.h"
#include "support/test_support.h"

using namespace panel_testing;
using namespace service_testing;
using testing_support::ReadFileText;
using testing_support::WaitFor;

namespace {
const int kMessageText = 1028;
const char kCommandsFile[] = "C:\\interpreter_commands.txt";
constexpr auto kRepairLimit = 60s;
constexpr auto kServiceLimit = 30s;

void StartPanel(PanelScene& scene) {
    scene.Start("autorun");
    ASSERT_TRUE(scene.WaitResident());
}

// The panel's command interpreter becomes the recorder, which still runs each command.
void RecordInterpreterCommands(PanelScene& scene) {
    const std::string recorder = scene.Folder() + "command_recorder.exe";
    ASSERT_TRUE(CopyBuiltProgram("command_recorder.exe", recorder));
    ASSERT_TRUE(::SetEnvironmentVariableA("COMSPEC", recorder.c_str()));
    ::DeleteFileA(kCommandsFile);
}

void RunRepair(PanelScene& scene, const char* screenshot = nullptr) {
    ASSERT_TRUE(ChooseTrayEntry(scene, kRepair));
    HWND message = WaitDialogWithText(scene.ProcessId(), L"修复完成", kRepairLimit);
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(ChildText(message, kMessageText), L"修复完成！");
    EXPECT_EQ(MessageKindColour(message), 1);
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(message, IDCANCEL)));
    if (screenshot) SaveSettledScreenshot(message, screenshot);
    ClickControl(message, IDOK);
    ASSERT_TRUE(WaitWindowGone(message));
}

std::string Unquoted(std::string path) {
    if (!path.empty() && path.front() == '"') path = path.substr(1, path.find('"', 1) - 1);
    return path;
}

bool CreateServiceAt(const std::string& name, const std::string& image) {
    UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) return false;
    UniqueServiceHandle service(::CreateServiceA(manager.get(), name.c_str(), name.c_str(), SERVICE_ALL_ACCESS,
                                                 SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                                 SERVICE_ERROR_NORMAL, image.c_str(), nullptr, nullptr, nullptr,
                                                 nullptr, nullptr));
    return static_cast<bool>(service);
}

// Three immediate restarts as Windows keeps them; Wine stores no failure actions at
// all (the setting call succeeds, the query fails with ERROR_INVALID_LEVEL).
bool RestartsOnFailureOrWineKeepsNone(const std::string& name) {
    UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    UniqueServiceHandle service(manager ? ::OpenServiceA(manager.get(), name.c_str(), SERVICE_QUERY_CONFIG)
                                        : nullptr);
    if (!service) return false;
    std::vector<BYTE> buffer(8192);
    DWORD needed = 0;
    if (!::QueryServiceConfig2A(service.get(), SERVICE_CONFIG_FAILURE_ACTIONS, buffer.data(),
                                static_cast<DWORD>(buffer.size()), &needed))
        return ::GetLastError() == ERROR_INVALID_LEVEL;
    auto* actions = reinterpret_cast<SERVICE_FAILURE_ACTIONSA*>(buffer.data());
    if (actions->cActions != 3) return false;
    for (DWORD i = 0; i < actions->cActions; ++i)
        if (actions->lpsaActions[i].Type != SC_ACTION_RESTART || actions->lpsaActions[i].Delay != 0) return false;
    return true;
}

std::string DesktopLink() {
    wchar_t desktop[MAX_PATH] = {};
    ::SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE);
    return CStringUtil().WideToMulti(desktop) + "\\" + ToGbk(L"Orm·防入侵集群系统.lnk");
}

std::vector<std::string> RecordedCommands() {
    std::vector<std::string> lines;
    SplitText(ReadFileText(kCommandsFile), "\r\n", 1, lines);
    return lines;
}
}  // namespace

// The engine's service was registered (and runs) from another folder, the watchdog's
// from this folder written in capitals: the first is replaced by one of this folder,
// the second kept; both end up automatic, and the watchdog brings the engine up.
TEST(PanelRepair, ReRegistersAForeignEngineKeepsACaseVariantAndTheWatchdogBringsTheEngineUp) {
    PanelScene scene;
    const std::string folder = scene.Folder();
    ASSERT_TRUE(CopyBuiltProgram("ormvexd.exe", folder + "ormvexd.exe"));
    const std::string elsewhere = "C:\\elsewhere\\";
    ::CreateDirectoryA(elsewhere.c_str(), nullptr);
    ASSERT_TRUE(::CreateDirectoryA((elsewhere + "config").c_str(), nullptr));
    ASSERT_TRUE(CopyBuiltProgram("ormvex.exe", elsewhere + "ormvex.exe"));
    ASSERT_EQ(testing_support::RunProgram(elsewhere + "ormvex.exe /i", 30s), 0);
    ASSERT_TRUE(StartServiceNamed("ormvex"));
    ASSERT_TRUE(WaitForServiceState("ormvex", SERVICE_RUNNING));
    const std::string capitals = UpperCopy(folder) + "ORMVEXD.EXE";
    ASSERT_TRUE(CreateServiceAt("ormvexd", capitals));
    ASSERT_TRUE(testing_support::WriteFileBytes(DesktopLink(), "stale"));
    StartPanel(scene);

    RunRepair(scene, "panel_repair_done");

    ServiceConfig engine, watchdog;
    ASSERT_TRUE(ReadServiceConfig("ormvex", engine));
    EXPECT_EQ(LowerCopy(Unquoted(engine.imagePath)), LowerCopy(folder + "ormvex.exe"));
    EXPECT_EQ(engine.startType, static_cast<DWORD>(SERVICE_AUTO_START));
    ASSERT_TRUE(ReadServiceConfig("ormvexd", watchdog));
    EXPECT_EQ(watchdog.imagePath, capitals);
    EXPECT_EQ(watchdog.startType, static_cast<DWORD>(SERVICE_AUTO_START));
    EXPECT_TRUE(RestartsOnFailureOrWineKeepsNone("ormvex"));
    EXPECT_TRUE(RestartsOnFailureOrWineKeepsNone("ormvexd"));
    EXPECT_TRUE(WaitForServiceState("ormvexd", SERVICE_RUNNING, kServiceLimit));
    EXPECT_TRUE(WaitForServiceState("ormvex", SERVICE_RUNNING, kServiceLimit));
    // The engine that runs now is the one of this folder: it answers here.
    EXPECT_TRUE(WaitFor([&] { return testing_support::FileExists(folder + "config\\cache.ini"); }, kServiceLimit));

    testing_support::ShellLinkFields link;
    ASSERT_TRUE(testing_support::ReadShellLink(DesktopLink(), link));
    EXPECT_EQ(link.target, GbkToWide(folder + "OrmVexPanel.exe"));
    EXPECT_EQ(link.icon, GbkToWide(folder + "OrmVexPanel.exe"));
    EXPECT_EQ(link.description, L"Orm·防入侵集群系统");
    // The watchdog would start the engine again while the scene stops it.
    EXPECT_TRUE(ControlServiceNamed("ormvexd", SERVICE_CONTROL_STOP));
    EXPECT_TRUE(WaitForServiceState("ormvexd", SERVICE_STOPPED));
}

// Wine only pretends to change the firewall, so this checks the command lines that
// reached the command interpreter: both for a port of digits only, none otherwise.
TEST(PanelRepair, FirewallCommandsRunOnlyForAnAllDigitPort_CheckedThroughTheInterpreterSeam) {
    struct Case {
        const char* port;
        const char* refuse;
        bool runs;
    };
    const Case cases[] = {{"66a9", "", false}, {"", "", false}, {"8080", "getport", false}, {"8080", "", true}};
    PanelScene scene;
    ASSERT_TRUE(CopyBuiltProgram("ormvexd.exe", scene.Folder() + "ormvexd.exe"));
    ASSERT_TRUE(scene.Engine().Start());
    RecordInterpreterCommands(scene);
    StartPanel(scene);
    const std::string rule = "\"" + ToGbk(L"Orm·防入侵集群系统端口") + "\"";
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("port=") + c.port + " refuse=" + c.refuse);
        ASSERT_TRUE(scene.Engine().WriteSettings(std::string("[standin]\r\nport=") + c.port +
                                                 "\r\n[test]\r\nrefuse=" + c.refuse + "\r\n"));
        ::DeleteFileA(kCommandsFile);
        RunRepair(scene);
        std::vector<std::string> expected;
        if (c.runs) {
            expected = {"/c netsh advfirewall firewall delete rule name=" + rule,
                        "/c netsh advfirewall firewall add rule name=" + rule +
                            " action=allow protocol=TCP dir=in localport=8080"};
        }
        EXPECT_EQ(RecordedCommands(), expected);
    }
    EXPECT_TRUE(ControlServiceNamed("ormvexd", SERVICE_CONTROL_STOP));
    EXPECT_TRUE(WaitForServiceState("ormvexd", SERVICE_STOPPED));
}

// With the panel's program gone from the folder the desktop shortcut gets the
// fallback target, which is also its icon.
TEST(PanelRepair, DesktopShortcutFallsBackWhenThePanelProgramIsMissing) {
    PanelScene scene;
    ASSERT_TRUE(scene.Engine().Start());
    StartPanel(scene);
    // A running program can be renamed, as on Windows.
    ASSERT_TRUE(::MoveFileA((scene.Folder() + "OrmVexPanel.exe").c_str(),
                            (scene.Folder() + "OrmVexPanel.moved").c_str()));
    RunRepair(scene);
    testing_support::ShellLinkFields link;
    ASSERT_TRUE(testing_support::ReadShellLink(DesktopLink(), link));
    const std::wstring fallback = GbkToWide(Unscrambled(scrambled::kFallbackShortcutFile));
    EXPECT_EQ(link.target, fallback);
    EXPECT_EQ(link.icon, fallback);
    EXPECT_EQ(link.description, L"Orm·防入侵集群系统");
}
