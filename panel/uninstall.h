// Removes the whole product; started with the word "uninstall". Ends the process.
#pragma once

class COrmVexPanelDlg;

void RunUninstall(COrmVexPanelDlg& window);
