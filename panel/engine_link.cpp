// The main window's side of the engine command channel.
#include "panel/engine_link.h"

bool EngineReachable() { return false; }

bool ExchangeCommand(COrmVexPanelDlg&, const std::string&, const std::string&, std::string& answer) {
    answer.clear();
    return false;
}
