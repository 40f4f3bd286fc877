// Values the whole installer shares: its three fonts, the window title and the
// maker's pages that its links open.
#pragma once
#include <string>

#include "foundation/unique_handle.h"

extern UniqueFont TitleFont;
extern UniqueFont VersionFont;
extern UniqueFont BodyFont;

// Font sizes in tenths of a point for a primary screen `width` pixels wide.
int TitleFontTenths(int width);
int VersionFontTenths(int width);
int BodyFontTenths(int width);
void CreateSetupFonts(int screenWidth);

// "Orm·防入侵集群系统 - V1.1.0".
std::wstring SetupWindowTitle();
std::wstring ProductNameWide();

// https:// + the maker's site + path, opened in the browser.
std::string MakerPageAddress(const char* path);
void OpenMakerPage(const char* path);
inline constexpr char kProductPagePath[] = "/soft/vex/";
inline constexpr char kAgreementPagePath[] = "/document/xuke.html";
