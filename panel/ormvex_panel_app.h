// The panel's application object: checks, fonts, then the main window run modally.
#pragma once
#include "framework/app.h"

class COrmVexPanelApp : public CWinApp {
public:
    BOOL InitInstance() override;
};
