#include "panel/repair.h"

#include <windows.h>

#include "foundation/files.h"
#include "foundation/hardware.h"
#include "foundation/process.h"
#include "foundation/scramble.h"
#include "foundation/service_ctrl.h"
#include "foundation/text.h"
#include "panel/dialog_msg.h"
#include "panel/ormvex_panel_dlg.h"
#include "panel/panel_message.h"
#include "panel/panel_values.h"

namespace {

struct ServiceProgram {
    const char* name;
    std::string program;
};

// The engine first: the watchdog, once started, looks after it.
std::vector<ServiceProgram> InstalledServices(const std::string& folder) {
    return {{"ormvex", folder + "ormvex.exe"}, {"ormvexd", folder + "ormvexd.exe"}};
}

void RepairServices(const std::string& folder) {
    CServiceCtrl control;
    const auto services = InstalledServices(folder);
    // 1. A service of another folder goes. It is stopped first: a running service
    //    that is deleted stays registered until it stops, and would keep its old
    //    image and block the registration below.
    for (const ServiceProgram& service : services) {
        std::string account;
        if (control.GetServiceImagePath(service.name, account) == LowerCopy(service.program)) continue;
        control.StartOrStop(service.name, false, std::string(), false, StopWait::PumpMessages);
        control.RemoveService(service.name);
    }
    // 2. Each program registers its own service.
    for (const ServiceProgram& service : services)
        if (!control.ServiceExists(service.name)) RunAndWait(service.program, "/i");
    // 3.
    for (const ServiceProgram& service : services) {
        if (!control.ServiceExists(service.name)) continue;
        control.SetStartType(service.name, SERVICE_AUTO_START);
        control.SetRestartOnFailure(service.name);
    }
    // 4. The watchdog brings the engine up.
    control.StartOrStop("ormvexd", true, std::string(), false);
}

void RepairPortRule(COrmVexPanelDlg& window) {
    std::string answer;
    if (!window.SendEngineCommand("getport", "", answer)) return;
    FirewallCommands commands = PortRuleCommands(TextBetween(answer, "<port>", "</port>"));
    if (commands.addRule.empty()) return;
    RunThroughInterpreter(commands.removeRule);
    RunThroughInterpreter(commands.addRule);
}

void RepairDesktopShortcut(const std::string& folder) {
    std::string panel = folder + "OrmVexPanel.exe";
    std::string target = FileExistsReal(panel) ? panel : Unscrambled(scrambled::kFallbackShortcutFile);
    // Deletes the old link and writes the new one with the target as its icon.
    CHardware().CreateDesktopShortcut(target, target, ToGbk(ProductName()));
}

}  // namespace

FirewallCommands PortRuleCommands(const std::string& port) {
    FirewallCommands commands;
    if (port.empty() || !IsDigitsText(port)) return commands;
    const std::string rule = "\"" + ToGbk(ProductName() + L"端口") + "\"";
    commands.removeRule = Unscrambled(scrambled::kFirewallDeleteRulePrefix) + rule;
    commands.addRule = Unscrambled(scrambled::kFirewallAddRulePrefix) + rule +
                       " action=allow protocol=TCP dir=in localport=" + port;
    return commands;
}

void RepairInstallation(COrmVexPanelDlg& window) {
    const std::string folder = ProgramFolder();
    // 1. to 4. Services; single failures are not reported.
    RepairServices(folder);
    // 5. The firewall rule, only for a port the engine reports as plain digits.
    RepairPortRule(window);
    // 6.
    RepairDesktopShortcut(folder);
    // 7.
    ShowPanelMessage(CDialogMsg::kInformation, false, L"修复完成", L"修复完成！");
}
