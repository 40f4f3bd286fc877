// Deleting, copying and renaming files and whole folders, and replacing programs that
// may be running.
#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "foundation/files.h"
#include "foundation/text.h"
#include "foundation/unique_handle.h"
#include "foundation/wow64_fs_guard.h"

namespace {

// The shell's file operations take paths of fewer than MAX_PATH bytes; a longer one
// would be cut and could name another file, so it is refused instead.
bool FitsShellPath(const std::string& path) { return !path.empty() && path.size() < MAX_PATH; }

// The shell's path lists end with two zero bytes.
std::vector<char> ShellPathList(const std::string& path) {
    std::vector<char> list(path.begin(), path.end());
    list.push_back('\0');
    list.push_back('\0');
    return list;
}

std::string WithoutTrailingBackslash(std::string path) {
    while (path.size() > 3 && path.back() == '\\') path.pop_back();
    return path;
}

// FOF_NOERRORUI: an error box of the shell would wait for a click that never comes in
// an unattended upgrade or an uninstall; failures are reported by the result instead.
constexpr FILEOP_FLAGS kQuietFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;

int ShellOperation(UINT operation, const std::string& from, const std::string& to, FILEOP_FLAGS flags) {
    if (!FitsShellPath(from) || (operation != FO_DELETE && !FitsShellPath(to))) return 0;
    std::vector<char> source = ShellPathList(from);
    std::vector<char> target = ShellPathList(to);
    SHFILEOPSTRUCTA op{};
    op.wFunc = operation;
    op.pFrom = source.data();
    op.pTo = operation == FO_DELETE ? nullptr : target.data();
    op.fFlags = flags;
    RedirectionOff redirection;
    return (::SHFileOperationA(&op) == 0 && !op.fAnyOperationsAborted) ? 1 : 0;
}

constexpr DWORD kCopyChunk = 64 * 1024;
constexpr DWORD kReplaceSettleMs = 100;  // lets the file system release a moved or deleted file

}  // namespace

int COrmFile::DeleteTree(const std::string& path) {
    if (!PathIs(path, false) && !PathIs(path, true)) return 0;
    return ShellOperation(FO_DELETE, WithoutTrailingBackslash(path), std::string(), kQuietFlags);
}

int COrmFile::CopyFileBytes(const std::string& source, const std::string& target) {
    RedirectionOff redirection;
    UniqueFile in(::CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!in) return 0;
    UniqueFile out(::CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                 nullptr));
    if (!out) return 0;
    std::vector<char> chunk(kCopyChunk);
    while (true) {
        DWORD read = 0;
        if (!::ReadFile(in.get(), chunk.data(), kCopyChunk, &read, nullptr)) return 0;
        if (read == 0) return 1;
        DWORD written = 0;
        if (!::WriteFile(out.get(), chunk.data(), read, &written, nullptr) || written != read) return 0;
    }
}

int COrmFile::CopyTree(const std::string& source, const std::string& target) {
    if (!PathIs(source, false) && !PathIs(source, true)) return 0;
    const std::string from = WithoutTrailingBackslash(source);
    if (ShellOperation(FO_COPY, from, WithoutTrailingBackslash(target), kQuietFlags | FOF_NOCONFIRMMKDIR)) return 1;
    RedirectionOff redirection;
    return ::CopyFileA(from.c_str(), target.c_str(), TRUE) ? 1 : 0;
}

int COrmFile::RenamePath(const std::string& oldPath, const std::string& newPath) {
    if (!PathExistsReal(oldPath, false)) return 0;
    return ShellOperation(FO_RENAME, WithoutTrailingBackslash(oldPath), WithoutTrailingBackslash(newPath),
                          kQuietFlags);
}

int COrmFile::ReplaceFile(const std::string& source, const std::string& target) {
    // 1. Nothing to put in place.
    if (!FileExistsReal(source)) return 0;
    // 2. No old file: a plain copy.
    if (!FileExistsReal(target) && CopyFileBytes(source, target)) return 1;
    // 3. An old leftover goes first.
    const std::string old = target + ".del";
    if (FileExistsReal(old)) {
        DeleteFileForce(old);
        ::Sleep(kReplaceSettleMs);
    }
    // 4. A leftover that is itself still in use moves to a name of its own.
    if (FileExistsReal(old)) RenamePath(old, target + "." + NowSecondsText() + ".del");
    // 5. A running program can be moved although it cannot be overwritten.
    RenamePath(target, old);
    ::Sleep(kReplaceSettleMs);
    // 6. The new bytes.
    return (CopyFileBytes(source, target) && FileExistsReal(target)) ? 1 : 0;
}
