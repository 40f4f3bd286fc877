// Adding an administrator account from the tray menu, authorised by the software's
// code; the engine judges the code and tells what it created.
#pragma once

class COrmVexPanelDlg;

void AddAdministrator(COrmVexPanelDlg& window);
