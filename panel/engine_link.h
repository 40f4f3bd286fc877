// The main window's side of the engine command channel.
#pragma once
#include <string>

class COrmVexPanelDlg;

// True when the running engine's endpoint can be opened at this moment.
bool EngineReachable();
// One command word with its parameter text; true when the engine reports "1".
bool ExchangeCommand(COrmVexPanelDlg& window, const std::string& word, const std::string& parameters,
                     std::string& answer);
