#include "installer/ormvex_setup_app.h"

#include <windows.h>
#include <commctrl.h>

#include "installer/ormvex_setup_dlg.h"
#include "installer/setup_values.h"

namespace {
constexpr DWORD kCommonControlClasses = 0xFF;  // ICC_WIN95_CLASSES

COrmVexSetupApp theApp;
}  // namespace

BOOL COrmVexSetupApp::InitInstance() {
    // 1. Common controls.
    INITCOMMONCONTROLSEX controls{sizeof controls, kCommonControlClasses};
    ::InitCommonControlsEx(&controls);
    // 2. and 3. The framework here needs no shell manager, ActiveX hosting or
    // application key: the installer keeps nothing in the registry of its own.
    // 4. Fonts from the primary screen's width.
    CreateSetupFonts(::GetSystemMetrics(SM_CXSCREEN));
    // 5. The setup window; the process ends with it.
    {
        COrmVexSetupDlg dialog;
        dialog.DoModal();
    }
    return FALSE;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return RunApplication(instance); }
