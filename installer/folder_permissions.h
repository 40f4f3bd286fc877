// Granting an account or group rights on the installation folder, inherited below it.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// One per installation run: the local accounts and groups that names are checked
// against, and the security descriptor of the last call.
class PermissionContext {
public:
    PermissionContext() = default;
    ~PermissionContext() { ReleaseDescriptor(); }
    PermissionContext(const PermissionContext&) = delete;
    PermissionContext& operator=(const PermissionContext&) = delete;

    std::vector<std::string> users;   // read anew at every call
    std::vector<std::string> groups;  // read once, plus "SYSTEM" and "Everyone"
    bool groupsRead = false;
    PSECURITY_DESCRIPTOR descriptor = nullptr;

    void ReleaseDescriptor() {
        if (descriptor) ::LocalFree(descriptor);
        descriptor = nullptr;
    }
};

// The access mask of a permission word ("r", "rw", "all", ...); 0 for an unknown word.
ACCESS_MASK PermissionMask(const std::string& word);

// The access list that SetPathPermission writes: the one entry alone (replace) or
// merged into current. The caller frees the result with LocalFree; null on failure
// with the error in *error.
PACL BuildPermissionAcl(const std::string& name, ACCESS_MASK mask, PACL current, bool replace, DWORD* error);

// Empty text on success, else a message for the user. Writes a protected list, so
// nothing is inherited from the parent folder any more.
std::string SetPathPermission(const std::string& name, PermissionContext& context, const std::string& path,
                              const std::string& word, bool replace);

// Tests see here every access list just before SetPathPermission writes it, with the
// path and what is written (Wine accepts the write and keeps the old list). The
// write itself still goes to the system. Null: nobody looks.
using PermissionWriteObserver = void (*)(const std::string& path, PACL acl, SECURITY_INFORMATION what);
void ObservePermissionWrites(PermissionWriteObserver observer);

// The local administrators group under the name this system gives it (localised
// systems have their own); "Administrators" when the lookup fails.
std::string AdministratorsGroupName();
