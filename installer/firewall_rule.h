// The inbound rule for the panel port, through the firewall's COM objects, with the
// command interpreter as the fallback.
#pragma once
#include <string>

// "<add-rule prefix>"<product>面板端口" action=allow protocol=TCP dir=in localport=6689"
std::string FirewallFallbackCommand();

// What happened, for the log and the tests.
struct FirewallOutcome {
    bool portWasOpen = false;     // the profile already had port 6689/TCP enabled
    bool ruleAdded = false;       // the policy object accepted the new rule
    bool fallbackRan = false;     // the command line ran
};

FirewallOutcome OpenPanelPortInFirewall();
