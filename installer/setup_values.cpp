#include "installer/setup_values.h"

#include <windows.h>
#include <shellapi.h>

#include "foundation/product.h"
#include "framework/gdi.h"

UniqueFont TitleFont;
UniqueFont VersionFont;
UniqueFont BodyFont;

namespace {
// Up to this width the fonts keep their design sizes; wider screens scale them down
// by the same numerators (design size x 1920 / 10 / width).
constexpr int kDesignScreenWidth = 1920;
constexpr int kTitleTenths = 122, kVersionTenths = 114, kBodyTenths = 94;
constexpr int kTitleNumerator = 184320, kVersionNumerator = 172032, kBodyNumerator = 141312;
const wchar_t kFontFace[] = L"微软雅黑";

int Scaled(int width, int designTenths, int numerator) {
    return width <= kDesignScreenWidth ? designTenths : numerator / width;
}
}  // namespace

int TitleFontTenths(int width) { return Scaled(width, kTitleTenths, kTitleNumerator); }
int VersionFontTenths(int width) { return Scaled(width, kVersionTenths, kVersionNumerator); }
int BodyFontTenths(int width) { return Scaled(width, kBodyTenths, kBodyNumerator); }

void CreateSetupFonts(int screenWidth) {
    TitleFont = CreatePointFont(TitleFontTenths(screenWidth), kFontFace);
    VersionFont = CreatePointFont(VersionFontTenths(screenWidth), kFontFace);
    BodyFont = CreatePointFont(BodyFontTenths(screenWidth), kFontFace);
}

std::wstring ProductNameWide() { return kProductNameWide; }

std::wstring SetupWindowTitle() {
    return ProductNameWide() + L" - V" + std::wstring(kProductVersion, kProductVersion + sizeof kProductVersion - 1);
}

std::string MakerPageAddress(const char* path) { return std::string("https://") + ORMVEX_MAKER_SITE + path; }

void OpenMakerPage(const char* path) {
    ::ShellExecuteA(nullptr, "open", MakerPageAddress(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
