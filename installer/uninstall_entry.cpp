#include "installer/uninstall_entry.h"

#include <windows.h>

#include "foundation/product.h"
#include "foundation/scramble.h"
#include "foundation/unique_handle.h"

bool WriteUninstallEntry(const std::string& installDir) {
    const std::string key = Unscrambled(scrambled::kUninstallParentKey) + kEngineServiceName;
    UniqueHKey entry;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_WRITE | KEY_WOW64_64KEY, nullptr, entry.put(), nullptr) != ERROR_SUCCESS)
        return false;
    const std::string uninstall = installDir + "OrmVexPanel.exe uninstall";
    const std::pair<const char*, std::string> values[] = {
        {"DisplayIcon", installDir + "OrmVexPanel.exe"},
        {"DisplayName", ProductName()},
        {"DisplayVersion", kProductVersion},
        {"Publisher", "Ormtech"},
        {"UninstallPath", uninstall},
        {"UninstallString", uninstall},
    };
    for (const auto& [name, data] : values)
        ::RegSetValueExA(entry.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                         static_cast<DWORD>(data.size() + 1));
    return true;
}
