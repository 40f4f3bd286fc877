// The installer's application object: the fonts, then the setup window, modally;
// the process ends when that window closes.
#pragma once
#include "framework/app.h"

class COrmVexSetupApp : public CWinApp {
public:
    BOOL InitInstance() override;
};
