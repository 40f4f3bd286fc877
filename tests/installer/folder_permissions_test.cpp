#include <gtest/gtest.h>
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <string>
#include <utility>
#include <vector>

#include "foundation/text.h"
#include "installer/folder_permissions.h"
#include "support/test_support.h"

namespace {

using testing_support::ScratchFolder;

TEST(PermissionMask, Words) {
    struct Case {
        const char* word;
        ACCESS_MASK mask;
    } cases[] = {
        {"r", 0x80000000}, {"w", 0x40000000}, {"e", 0x20000000},  {"rw", 0xC0000000}, {"wr", 0xC0000000},
        {"re", 0xA0000000}, {"er", 0xA0000000}, {"we", 0x60000000}, {"ew", 0x60000000}, {"rwd", 0xC0010000},
        {"wrd", 0xC0010000}, {"red", 0xA0010000}, {"erd", 0xA0010000}, {"all", 0x10000000}, {"R", 0},
        {"rwe", 0},          {"", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(PermissionMask(c.word), c.mask) << c.word;
}

TEST(SetPathPermission, RefusesBadInput) {
    ScratchFolder dir;
    PermissionContext context;
    EXPECT_EQ(SetPathPermission("", context, dir.Path(), "all", true), ToGbk(L"设置文件（夹）权限时传入的值不能为空"));
    EXPECT_EQ(SetPathPermission("SYSTEM", context, dir.Path(), "R", true), ToGbk(L"无效的权限信息：") + "R");
    EXPECT_EQ(SetPathPermission("SYSTEM", context, dir.Path(), "rwe", true), ToGbk(L"无效的权限信息：") + "rwe");
    EXPECT_EQ(SetPathPermission("nobody-here", context, dir.Path(), "all", true),
              ToGbk(L"无效的用户名：") + "nobody-here");
    EXPECT_EQ(SetPathPermission("everyone", context, dir / "missing", "all", false),
              ToGbk(L"路径名无效：") + dir / "missing");
}

TEST(SetPathPermission, AcceptsTheFixedGroupsInAnyCase) {
    ScratchFolder dir;
    PermissionContext context;
    EXPECT_EQ(SetPathPermission("eVeryOne", context, dir.Path(), "r", false), "");
    EXPECT_EQ(SetPathPermission("SYSTEM", context, dir.Path(), "all", false), "");
}

TEST(AdministratorsGroupName, IsTheSystemsNameOfTheGroup) { EXPECT_EQ(AdministratorsGroupName(), "Administrators"); }

// Wine accepts SetNamedSecurityInfo but keeps the old list: the list that would be
// written is checked here, one step before the write.
std::string SidText(PSID sid) {
    LPSTR text = nullptr;
    ::ConvertSidToStringSidA(sid, &text);
    std::string s = text ? text : "";
    ::LocalFree(text);
    return s;
}

TEST(BuildPermissionAclSeamBeforeTheIgnoredWrite, ReplaceLeavesOneInheritedEntry) {
    DWORD error = 0;
    PACL acl = BuildPermissionAcl(AdministratorsGroupName(), PermissionMask("all"), nullptr, true, &error);
    ASSERT_NE(acl, nullptr) << error;
    ASSERT_EQ(acl->AceCount, 1);
    ACCESS_ALLOWED_ACE* ace = nullptr;
    ASSERT_TRUE(::GetAce(acl, 0, reinterpret_cast<void**>(&ace)));
    EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
    EXPECT_EQ(ace->Header.AceFlags & (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE),
              OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE);
    EXPECT_EQ(ace->Mask, static_cast<ACCESS_MASK>(GENERIC_ALL));
    EXPECT_EQ(SidText(&ace->SidStart), "S-1-5-32-544");

    PACL merged = BuildPermissionAcl("SYSTEM", PermissionMask("all"), acl, false, &error);
    ASSERT_NE(merged, nullptr) << error;
    EXPECT_EQ(merged->AceCount, 2);
    ::LocalFree(merged);
    ::LocalFree(acl);
}

// The same lists as they go to the system: a replacing call writes its entry alone, a
// merging one adds its entry to the folder's list, both as protected lists.
std::vector<std::pair<std::string, SECURITY_INFORMATION>> g_written;

void RecordWrite(const std::string& path, PACL acl, SECURITY_INFORMATION what) {
    g_written.push_back({path, what});
    EXPECT_GE(acl->AceCount, 1);
}

TEST(SetPathPermissionSeamBeforeTheIgnoredWrite, WritesProtectedListsOnlyForValidCalls) {
    ScratchFolder dir;
    PermissionContext context;
    g_written.clear();
    ObservePermissionWrites(&RecordWrite);
    EXPECT_EQ(SetPathPermission("SYSTEM", context, dir.Path(), "all", true), "");
    EXPECT_EQ(SetPathPermission("Everyone", context, dir.Path(), "r", false), "");
    EXPECT_NE(SetPathPermission("nobody-here", context, dir.Path(), "all", false), "");
    EXPECT_NE(SetPathPermission("SYSTEM", context, dir / "missing", "all", false), "");
    ObservePermissionWrites(nullptr);
    ASSERT_EQ(g_written.size(), 2u);
    for (const auto& [path, what] : g_written) {
        EXPECT_EQ(path, dir.Path());
        EXPECT_EQ(what, static_cast<SECURITY_INFORMATION>(DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION));
    }
}

}  // namespace
