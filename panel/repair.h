// Puts the two services, the firewall rule of the management port and the desktop
// shortcut back into their installed state (tray item 32788).
#pragma once
#include <string>

class COrmVexPanelDlg;

void RepairInstallation(COrmVexPanelDlg& window);

// The two command lines that replace the inbound rule of the management port; empty
// unless the port is all digits.
struct FirewallCommands {
    std::string removeRule;
    std::string addRule;
};
FirewallCommands PortRuleCommands(const std::string& port);
