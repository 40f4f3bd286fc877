#include "panel/panel_values.h"

#include "foundation/files.h"

UniqueFont TitleFont;
UniqueFont BodyFont;
bool DontShowTrayAgain = false;
UniqueHandleKernel InstanceMutex;

std::string AuthCode;
std::string PortText;
std::string LocalUrl;
std::string OuterUrl;
std::string OnlyLocal;
std::string InfoRecord;

std::string ProgramFolder() { return ModuleFolder(); }

std::wstring ProductName() { return L"Orm·防入侵集群系统"; }

namespace {
// Screens wider than this get fonts that shrink with the width.
const int kFixedFontScreenWidth = 1920;
const int kBodyFontTenths = 94, kTitleFontTenths = 122;
const int kBodyFontScale = 141312, kTitleFontScale = 184320;
}  // namespace

int BodyFontTenths(int width) { return width > kFixedFontScreenWidth ? kBodyFontScale / width : kBodyFontTenths; }
int TitleFontTenths(int width) { return width > kFixedFontScreenWidth ? kTitleFontScale / width : kTitleFontTenths; }
