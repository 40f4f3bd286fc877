// The application object: one per program, constructed as a global. The program's
// WinMain hands control to RunApplication, which runs InitInstance and ends with
// ExitInstance's code.
#pragma once
#include <windows.h>

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    virtual int ExitInstance();

    HINSTANCE m_hInstance = nullptr;
};

CWinApp* AfxGetApp();
HINSTANCE AfxInstance();
int RunApplication(HINSTANCE instance);
