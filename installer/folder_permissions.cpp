#include "installer/folder_permissions.h"

#include <aclapi.h>
#include <lm.h>

#include "foundation/files.h"
#include "foundation/text.h"
#include "foundation/unique_handle.h"
#include "foundation/wow64_fs_guard.h"

namespace {

struct PermissionWord {
    const char* words[2];
    ACCESS_MASK mask;
};

constexpr PermissionWord kPermissionWords[] = {
    {{"r", nullptr}, GENERIC_READ},
    {{"w", nullptr}, GENERIC_WRITE},
    {{"e", nullptr}, GENERIC_EXECUTE},
    {{"rw", "wr"}, GENERIC_READ | GENERIC_WRITE},
    {{"re", "er"}, GENERIC_READ | GENERIC_EXECUTE},
    {{"we", "ew"}, GENERIC_WRITE | GENERIC_EXECUTE},
    {{"rwd", "wrd"}, GENERIC_READ | GENERIC_WRITE | DELETE},
    {{"red", "erd"}, GENERIC_READ | GENERIC_EXECUTE | DELETE},
    {{"all", nullptr}, GENERIC_ALL},
};

// Calls a NetXxxEnum function (level 0) page by page and collects the names it lists.
template <typename Info, typename Enumerate>
std::vector<std::string> EnumerateNames(Enumerate enumerate, LPWSTR Info::*name) {
    std::vector<std::string> names;
    CStringUtil util;
    DWORD_PTR resume = 0;
    NET_API_STATUS status;
    do {
        LPBYTE buffer = nullptr;
        DWORD read = 0, total = 0;
        status = enumerate(&buffer, &read, &total, &resume);
        if ((status == NERR_Success || status == ERROR_MORE_DATA) && buffer) {
            const Info* entries = reinterpret_cast<const Info*>(buffer);
            for (DWORD i = 0; i < read; ++i) names.push_back(util.WideToMulti(entries[i].*name));
        }
        if (buffer) ::NetApiBufferFree(buffer);
    } while (status == ERROR_MORE_DATA);
    return names;
}

std::vector<std::string> LocalUserNames() {
    return EnumerateNames<USER_INFO_0>(
        [](LPBYTE* buffer, DWORD* read, DWORD* total, DWORD_PTR* resume) {
            DWORD handle = static_cast<DWORD>(*resume);
            const NET_API_STATUS status =
                ::NetUserEnum(nullptr, 0, FILTER_NORMAL_ACCOUNT, buffer, MAX_PREFERRED_LENGTH, read, total, &handle);
            *resume = handle;
            return status;
        },
        &USER_INFO_0::usri0_name);
}

std::vector<std::string> LocalGroupNames() {
    std::vector<std::string> names = EnumerateNames<LOCALGROUP_INFO_0>(
        [](LPBYTE* buffer, DWORD* read, DWORD* total, DWORD_PTR* resume) {
            return ::NetLocalGroupEnum(nullptr, 0, buffer, MAX_PREFERRED_LENGTH, read, total, resume);
        },
        &LOCALGROUP_INFO_0::lgrpi0_name);
    names.push_back("SYSTEM");
    names.push_back("Everyone");
    return names;
}

PermissionWriteObserver g_writeObserver = nullptr;

bool ContainsIgnoringCase(const std::vector<std::string>& names, const std::string& name) {
    const std::string wanted = LowerCopy(name);
    for (const std::string& n : names)
        if (LowerCopy(n) == wanted) return true;
    return false;
}

}  // namespace

ACCESS_MASK PermissionMask(const std::string& word) {
    for (const PermissionWord& p : kPermissionWords)
        for (const char* w : p.words)
            if (w && word == w) return p.mask;
    return 0;
}

PACL BuildPermissionAcl(const std::string& name, ACCESS_MASK mask, PACL current, bool replace, DWORD* error) {
    std::vector<char> trustee(name.begin(), name.end());
    trustee.push_back('\0');
    EXPLICIT_ACCESS_A access{};
    access.grfAccessPermissions = mask;
    access.grfAccessMode = GRANT_ACCESS;
    access.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
    access.Trustee.TrusteeForm = TRUSTEE_IS_NAME;
    access.Trustee.TrusteeType = TRUSTEE_IS_UNKNOWN;
    access.Trustee.ptstrName = trustee.data();
    PACL acl = nullptr;
    const DWORD result = ::SetEntriesInAclA(1, &access, replace ? nullptr : current, &acl);
    if (error) *error = result;
    return result == ERROR_SUCCESS ? acl : nullptr;
}

std::string SetPathPermission(const std::string& name, PermissionContext& context, const std::string& path,
                              const std::string& word, bool replace) {
    // 1. to 4. The inputs.
    if (name.empty() || path.empty() || word.empty()) return ToGbk(L"设置文件（夹）权限时传入的值不能为空");
    const ACCESS_MASK mask = PermissionMask(word);
    if (!mask) return ToGbk(L"无效的权限信息：") + word;
    context.users = LocalUserNames();
    if (!context.groupsRead) {
        context.groups = LocalGroupNames();
        context.groupsRead = true;
    }
    if (!ContainsIgnoringCase(context.users, name) && !ContainsIgnoringCase(context.groups, name))
        return ToGbk(L"无效的用户名：") + name;
    if (!PathExistsReal(path, false)) return ToGbk(L"路径名无效：") + path;

    // 5. The current list.
    RedirectionOff redirection;
    context.ReleaseDescriptor();
    PACL current = nullptr;
    DWORD status = ::GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                           nullptr, &current, nullptr, &context.descriptor);
    if (status != ERROR_SUCCESS)
        return "GetNamedSecurityInfo" + ToGbk(L"：") + path + ToGbk(L"，错误号：") + IntText(static_cast<int>(status));

    // 6. and 7. The new list.
    PACL acl = BuildPermissionAcl(name, mask, current, replace, &status);
    if (!acl) return "SetEntriesInAcl" + ToGbk(L"失败：") + IntText(static_cast<int>(status));
    ScopeExit freeAcl([acl] { ::LocalFree(acl); });

    // 8. Written as a protected list: nothing is inherited from the parent any more.
    const SECURITY_INFORMATION what = DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION;
    if (g_writeObserver) g_writeObserver(path, acl, what);
    std::vector<char> target(path.begin(), path.end());
    target.push_back('\0');
    status = ::SetNamedSecurityInfoA(target.data(), SE_FILE_OBJECT, what, nullptr, nullptr, acl, nullptr);
    if (status != ERROR_SUCCESS)
        return "SetNamedSecutiryInfo" + ToGbk(L"失败：") + path + ToGbk(L"，错误号：") +
               IntText(static_cast<int>(status));
    return std::string();
}

void ObservePermissionWrites(PermissionWriteObserver observer) { g_writeObserver = observer; }

std::string AdministratorsGroupName() {
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID sid = nullptr;
    if (!::AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                    &sid))
        return "Administrators";
    ScopeExit freeSid([sid] { ::FreeSid(sid); });
    char name[256] = {}, domain[256] = {};
    DWORD nameSize = sizeof name, domainSize = sizeof domain;
    SID_NAME_USE use;
    if (!::LookupAccountSidA(nullptr, sid, name, &nameSize, domain, &domainSize, &use) || !name[0])
        return "Administrators";
    return name;
}
