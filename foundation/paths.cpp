// Where things are, and whether they exist.
#include <windows.h>

#include <vector>

#include "foundation/files.h"
#include "foundation/text.h"
#include "foundation/wow64_fs_guard.h"

namespace {

// Up to and including the last backslash. The scan steps over both bytes of a
// double-byte character, whose second byte may be 0x5C, the code of a backslash.
std::string FolderOf(const std::string& path) {
    size_t last = std::string::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        if (::IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < path.size()) {
            ++i;
            continue;
        }
        if (path[i] == '\\') last = i;
    }
    return last == std::string::npos ? path : path.substr(0, last + 1);
}

DWORD Attributes(const std::string& path) { return ::GetFileAttributesA(path.c_str()); }

}  // namespace

std::string ModuleFolder() {
    char path[MAX_PATH + 1] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return FolderOf(path);
}

std::string WindowsFolder() {
    char path[MAX_PATH + 1] = {};
    ::GetWindowsDirectoryA(path, MAX_PATH);
    std::string folder(path);
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}

bool PathIs(const std::string& path, bool folder) {
    if (path.empty()) return false;
    const DWORD attributes = Attributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    return ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == folder;
}

bool FileExistsReal(const std::string& path) {
    RedirectionOff redirection;
    return PathIs(path, false);
}

bool PathExistsReal(const std::string& path, bool folder) {
    if (path.empty()) return false;
    RedirectionOff redirection;
    if (folder) return PathIs(path, true);
    return Attributes(path) != INVALID_FILE_ATTRIBUTES;
}

bool CreateFolderPath(const std::string& folder) {
    if (PathExistsReal(folder, true)) return true;
    std::string path = folder;
    ReplaceAll("/", path, "\\");
    std::vector<std::string> pieces;
    SplitText(path, "\\", 1, pieces);
    std::string built = path.rfind("\\\\", 0) == 0 ? "\\\\" : "";  // keep a UNC start
    {
        RedirectionOff redirection;
        for (const std::string& piece : pieces) {
            built += piece;
            if (Attributes(built) == INVALID_FILE_ATTRIBUTES) ::CreateDirectoryA(built.c_str(), nullptr);
            built += '\\';
        }
    }
    return PathExistsReal(folder, true);
}
