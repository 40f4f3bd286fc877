#include "installer/payload_archive.h"

#include <windows.h>

#include <vector>

#include "foundation/files.h"
#include "foundation/text.h"
#include "foundation/unique_handle.h"
#include "foundation/wow64_fs_guard.h"
#include "unzip.h"  // before iowin32.h, which needs zlib's declarations
#include "iowin32.h"

namespace {

constexpr std::size_t kReadChunk = 256 * 1024;
constexpr unsigned long kUtf8NameFlag = 1u << 11;  // general-purpose bit 11: the name is UTF-8

struct ZipCloser {
    using pointer = unzFile;
    static unzFile Invalid() noexcept { return nullptr; }
    static void Close(unzFile file) noexcept { unzClose(file); }
};
using UniqueZip = UniqueHandle<ZipCloser>;

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Archives made by newer tools mark UTF-8 names; everything else is in the system code page.
std::string NameInSystemCodePage(const char* raw, unsigned long flags) {
    if (!(flags & kUtf8NameFlag)) return raw;
    int size = ::MultiByteToWideChar(CP_UTF8, 0, raw, -1, nullptr, 0);
    if (size <= 0) return raw;
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, raw, -1, wide.data(), size);
    return CStringUtil().WideToMulti(wide);
}

FILETIME ArchiveTime(unsigned long dosDate) {
    FILETIME local{}, utc{};
    ::DosDateTimeToFileTime(HIWORD(dosDate), LOWORD(dosDate), &local);
    ::LocalFileTimeToFileTime(&local, &utc);
    return utc;
}

UniqueFile CreateForWriting(const std::string& path) {
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
    if (!file && ::GetLastError() == ERROR_ACCESS_DENIED) {  // an old read-only copy
        ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        file.reset(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                 nullptr));
    }
    return file;
}

// Copies the current member into path; false when it could not be written whole.
bool WriteCurrentMember(unzFile zip, const std::string& path, unsigned long dosDate, std::vector<char>& buffer) {
    if (unzOpenCurrentFile(zip) != UNZ_OK) return false;
    ScopeExit closeMember([zip] { unzCloseCurrentFile(zip); });
    UniqueFile file = CreateForWriting(path);
    if (!file) return false;
    while (true) {
        const int read = unzReadCurrentFile(zip, buffer.data(), static_cast<unsigned>(buffer.size()));
        if (read < 0) return false;
        if (read == 0) break;
        DWORD written = 0;
        if (!::WriteFile(file.get(), buffer.data(), static_cast<DWORD>(read), &written, nullptr) ||
            written != static_cast<DWORD>(read))
            return false;
    }
    const FILETIME time = ArchiveTime(dosDate);
    ::SetFileTime(file.get(), nullptr, nullptr, &time);
    return true;
}

}  // namespace

std::string SanitizeMemberName(const std::string& name) {
    std::string path = name;
    // A drive prefix, then leading slashes.
    if (path.size() >= 2 && path[1] == ':' && isalpha(static_cast<unsigned char>(path[0]))) path.erase(0, 2);
    size_t lead = 0;
    while (lead < path.size() && IsSeparator(path[lead])) ++lead;
    path.erase(0, lead);
    // Everything up to and including the last "..": a ".." segment anywhere (also a
    // leading "../", which has no slash before it) could climb out of the base folder.
    std::vector<std::string> segments;
    std::string segment;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || IsSeparator(path[i])) {
            if (segment == "..") {
                segments.clear();
            } else if (!segment.empty() && segment != ".") {
                segments.push_back(segment);
            }
            segment.clear();
        } else {
            segment += path[i];
        }
    }
    std::string clean;
    for (const std::string& s : segments) clean += (clean.empty() ? "" : "\\") + s;
    return clean;
}

UnpackResult UnpackArchive(const std::string& archivePath, const std::string& baseFolder) {
    UnpackResult result;
    std::string base = baseFolder;
    if (base.empty() || base.back() != '\\') base += '\\';
    if (!PathExistsReal(base, true)) return result;

    RedirectionOff redirection;
    zlib_filefunc64_def io{};
    fill_win32_filefunc64A(&io);
    UniqueZip zip(unzOpen2_64(archivePath.c_str(), &io));
    if (!zip) return result;
    unz_global_info64 global{};
    if (unzGetGlobalInfo64(zip.get(), &global) != UNZ_OK) return result;
    result.opened = true;

    std::vector<char> buffer(kReadChunk);
    std::string lastFolder;  // most members share their folder with the one before
    int status = unzGoToFirstFile(zip.get());
    for (ZPOS64_T i = 0; i < global.number_entry && status == UNZ_OK; ++i, status = unzGoToNextFile(zip.get())) {
        unz_file_info64 info{};
        char raw[MAX_PATH * 2] = {};
        if (unzGetCurrentFileInfo64(zip.get(), &info, raw, sizeof raw - 1, nullptr, 0, nullptr, 0) != UNZ_OK) break;
        const std::string rawName = NameInSystemCodePage(raw, info.flag);
        const std::string relative = SanitizeMemberName(rawName);
        if (relative.empty()) continue;
        const std::string path = base + relative;
        const bool isFolder = IsSeparator(rawName.back());
        const std::string folder = isFolder ? path : path.substr(0, path.find_last_of('\\'));
        if (folder != lastFolder) {
            CreateFolderPath(folder);
            lastFolder = folder;
        }
        if (isFolder) continue;
        if (WriteCurrentMember(zip.get(), path, info.dosDate, buffer)) {
            ++result.filesWritten;
        } else {
            ++result.membersSkipped;
        }
    }
    return result;
}
