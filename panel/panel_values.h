// Values the whole panel shares: the dialog fonts, the quit dialog's choice, the
// single-instance mutex and the texts that the main window's flows hand to the
// dialogs and read back.
#pragma once
#include <string>

#include "foundation/unique_handle.h"

extern UniqueFont TitleFont;
extern UniqueFont BodyFont;
extern bool DontShowTrayAgain;
extern UniqueHandleKernel InstanceMutex;

extern std::string AuthCode;
extern std::string PortText;
extern std::string LocalUrl;
extern std::string OuterUrl;
extern std::string OnlyLocal;
extern std::string InfoRecord;

// Full path of the running panel cut after its last backslash.
std::string ProgramFolder();
// "Orm·防入侵集群系统", the product name in every title.
std::wstring ProductName();
// Font sizes in tenths of a point for a primary screen `width` pixels wide.
int BodyFontTenths(int width);
int TitleFontTenths(int width);
