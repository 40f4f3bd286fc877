#include "installer/browse_folder.h"

#include <shlobj.h>

#include <cstring>

#include "foundation/com_ptr.h"
#include "foundation/files.h"
#include "foundation/text.h"

namespace {
constexpr std::size_t kPathBufferSize = MAX_PATH;
constexpr UINT kBrowseFlags = BIF_NEWDIALOGSTYLE | BIF_EDITBOX;  // 0x50
}  // namespace

CBrowseFolder::CBrowseFolder() : m_pszPath(new char[kPathBufferSize]()) {}
CBrowseFolder::~CBrowseFolder() = default;

int CALLBACK CBrowseFolder::BrowseCallback(HWND window, UINT message, LPARAM, LPARAM data) {
    // A start folder that exists is selected as soon as the dialog stands.
    if (message == BFFM_INITIALIZED) ::SendMessageA(window, BFFM_SETSELECTIONA, TRUE, data);
    return 0;
}

int CBrowseFolder::Browse(const std::string& startPath, HWND owner) {
    // 1. The shell's allocator frees the chosen item.
    ComPtr<IMalloc> allocator;
    if (FAILED(::SHGetMalloc(allocator.Put()))) return -1;
    // 2. The start folder.
    if (PathExistsReal(startPath, true) && startPath.size() < kPathBufferSize)
        std::memcpy(m_pszPath.get(), startPath.c_str(), startPath.size() + 1);
    // 3. The dialog.
    const std::string title = ToGbk(L"请选择文件夹:");
    BROWSEINFOA info{};
    info.hwndOwner = owner;
    info.pidlRoot = nullptr;
    info.pszDisplayName = nullptr;
    info.lpszTitle = title.c_str();
    info.ulFlags = kBrowseFlags;
    info.lpfn = &CBrowseFolder::BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(m_pszPath.get());
    LPITEMIDLIST chosen = ::SHBrowseForFolderA(&info);
    // 4. The chosen folder's path; a virtual folder leaves the buffer as it was.
    if (!chosen) return 0;
    ::SHGetPathFromIDListA(chosen, m_pszPath.get());
    allocator->Free(chosen);
    return 1;
}
