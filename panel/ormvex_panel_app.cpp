#include "panel/ormvex_panel_app.h"

#include <windows.h>
#include <commctrl.h>

#include "foundation/files.h"
#include "framework/gdi.h"
#include "panel/ormvex_panel_dlg.h"
#include "panel/panel_values.h"

namespace {
const DWORD kCommonControlClasses = 0xFF;  // ICC_WIN95_CLASSES
const wchar_t kFontFace[] = L"微软雅黑";

COrmVexPanelApp theApp;
}  // namespace

BOOL COrmVexPanelApp::InitInstance() {
    // 1. Common controls.
    INITCOMMONCONTROLSEX controls{sizeof controls, kCommonControlClasses};
    ::InitCommonControlsEx(&controls);
    // 2. The quit dialog's choice starts cleared.
    DontShowTrayAgain = false;
    // 3. The panel only works beside the engine.
    if (!FileExistsReal(ProgramFolder() + "ormvex.exe")) {
        ::MessageBoxW(nullptr, L"请将文件放到 Orm·防入侵集群系统 目录！", L"Orm", MB_ICONERROR);
        return FALSE;
    }
    // 4. Fonts from the screen width.
    int width = ::GetSystemMetrics(SM_CXSCREEN);
    BodyFont = CreatePointFont(BodyFontTenths(width), kFontFace);
    TitleFont = CreatePointFont(TitleFontTenths(width), kFontFace);
    // 5. Nothing reads settings through a shell manager or an application key.
    // 6. The main window, modally; the process ends when it closes.
    {
        COrmVexPanelDlg window;
        window.DoModal();
    }
    return FALSE;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return RunApplication(instance); }
