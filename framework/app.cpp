#include "framework/app.h"

namespace {
CWinApp* theApplication = nullptr;
}

CWinApp::CWinApp() { theApplication = this; }
CWinApp::~CWinApp() {
    if (theApplication == this) theApplication = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }
int CWinApp::ExitInstance() { return 0; }

CWinApp* AfxGetApp() { return theApplication; }

HINSTANCE AfxInstance() {
    return theApplication && theApplication->m_hInstance ? theApplication->m_hInstance : ::GetModuleHandleW(nullptr);
}

int RunApplication(HINSTANCE instance) {
    if (!theApplication) return 1;
    theApplication->m_hInstance = instance;
    // A dialog-based program does all its work inside InitInstance; its result only
    // says whether a message loop should follow, and none does here.
    theApplication->InitInstance();
    return theApplication->ExitInstance();
}
