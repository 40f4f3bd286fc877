// The resources of ormvexd.exe as Windows reads them: banner, icon, version block and
// manifest.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "foundation/unique_handle.h"
#include "service/service_test_support.h"

using namespace service_testing;

namespace {

std::wstring VersionText(const std::vector<BYTE>& block, const wchar_t* name) {
    wchar_t* text = nullptr;
    UINT length = 0;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\080404b0\\") + name;
    if (!::VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&text), &length) || !text) return L"";
    return text;
}

}  // namespace

TEST(Resources, BannerIconVersionAndManifest) {
    const std::string program = InstallProgram("ormvexd.exe");
    UniqueModule module(::LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(module);
    wchar_t banner[64] = {};
    ASSERT_GT(::LoadStringW(module.get(), 1, banner, 64), 0);
    EXPECT_STREQ(banner, L"Orm·防入侵系统守护程序");
    EXPECT_NE(::FindResourceA(module.get(), MAKEINTRESOURCEA(106), MAKEINTRESOURCEA(14)), nullptr)  // RT_GROUP_ICON
        << "icon group 106";

    HRSRC manifestResource = ::FindResourceA(module.get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
    ASSERT_NE(manifestResource, nullptr);
    const char* manifest = static_cast<const char*>(::LockResource(::LoadResource(module.get(), manifestResource)));
    const std::string manifestText(manifest, ::SizeofResource(module.get(), manifestResource));
    EXPECT_NE(manifestText.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(manifestText.find(">true</dpiAware>"), std::string::npos);

    DWORD handle = 0;
    std::vector<BYTE> block(::GetFileVersionInfoSizeA(program.c_str(), &handle));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(::GetFileVersionInfoA(program.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 2));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 2));
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(0, 1));
    EXPECT_EQ(VersionText(block, L"FileDescription"), L"Orm·防入侵系统守护进程");
    EXPECT_EQ(VersionText(block, L"ProductName"), L"Orm·防入侵系统守护进程");
    EXPECT_EQ(VersionText(block, L"InternalName"), L"Orm·防入侵系统守护进程 系统服务组件");
}
