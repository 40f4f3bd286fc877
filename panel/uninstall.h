// Removes the whole product; started with the word "uninstall", before the
// single-instance test and before any tray icon exists. Ends the process with exit
// code 0 on every route.
#pragma once

class COrmVexPanelDlg;

void RunUninstall(COrmVexPanelDlg& window);
