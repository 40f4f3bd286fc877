#include "panel/uninstall.h"

#include <windows.h>

// The removal steps come with the uninstall dialogs; until then an uninstall start
// ends at once, before the single-instance test, as the finished flow does.
void RunUninstall(COrmVexPanelDlg&) { ::ExitProcess(0); }
