// Turning the engine's protection on, and off for a while after the authorization
// code was typed (tray items 32783 and 32785).
#pragma once

class COrmVexPanelDlg;

void TurnSystemOn(COrmVexPanelDlg& window);
void TurnSystemOffTemporarily(COrmVexPanelDlg& window);
