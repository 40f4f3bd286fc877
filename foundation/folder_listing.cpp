// Listing the entries of a folder.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "foundation/files.h"
#include "foundation/text.h"
#include "foundation/unique_handle.h"
#include "foundation/wow64_fs_guard.h"

namespace {

std::string WithBackslash(const std::string& folder) {
    return (!folder.empty() && folder.back() == '\\') ? folder : folder + "\\";
}

bool IsDotEntry(const char* name) { return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0; }

FolderEntry MakeEntry(const WIN32_FIND_DATAA& found, const std::string& folder) {
    FolderEntry entry;
    entry.name = found.cFileName;
    entry.path = folder + entry.name;
    entry.attributes = found.dwFileAttributes;
    entry.created = found.ftCreationTime;
    entry.accessed = found.ftLastAccessTime;
    entry.written = found.ftLastWriteTime;
    entry.sizeHigh = found.nFileSizeHigh;
    entry.sizeLow = found.nFileSizeLow;
    const bool isFile = !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    const bool nonEmpty = found.nFileSizeHigh != 0 || found.nFileSizeLow != 0;
    entry.kind = (isFile && nonEmpty && LowerCopy(FileExtension(entry.name)) == "lnk") ? 4 : 1;
    return entry;
}

}  // namespace

std::size_t ListFolderNames(const std::string& filter, std::vector<std::string>& names, const std::string& folder) {
    names.clear();
    if (!PathExistsReal(folder, true)) return 0;
    const std::string pattern =
        WithBackslash(folder) + ((filter.empty() || filter == "*") ? std::string("*.*") : "*." + filter);
    RedirectionOff redirection;
    WIN32_FIND_DATAA found{};
    UniqueFind find(::FindFirstFileA(pattern.c_str(), &found));
    if (!find) return 0;
    do {
        const std::string name = found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (name[0] == '.' || (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) continue;
        } else if (filter == "log" && (name == "debug.log" || name == "system.log")) {
            continue;
        }
        names.push_back(name);
    } while (::FindNextFileA(find.get(), &found));
    std::sort(names.begin(), names.end());
    return names.size();
}

int COrmFile::ListFolder(ListSelection selection, std::vector<FolderEntry>& files, std::vector<FolderEntry>& folders,
                         const std::string& folder, ListOptions& options) {
    files.clear();
    folders.clear();
    if (!PathIs(folder, true)) return 0;
    // Collects into the caller's lists across recursion, so the clearing above happens once.
    struct Walker {
        ListSelection selection;
        ListOptions& options;
        std::vector<FolderEntry>& files;
        std::vector<FolderEntry>& folders;
        bool Kept(const std::string& name) const {
            return !options.filterOn || LowerCopy(name).find(options.filter) != std::string::npos;
        }
        bool InWindow(std::size_t position) const { return position >= options.first && position < options.last; }
        void Walk(const std::string& folder) {
            const std::string base = WithBackslash(folder);
            WIN32_FIND_DATAA found{};
            UniqueFind find(::FindFirstFileA((base + "*.*").c_str(), &found));
            if (!find) return;
            do {
                if (IsDotEntry(found.cFileName)) continue;
                const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
                if (!isFolder && selection != ListSelection::FoldersOnly) {
                    if (!Kept(found.cFileName)) continue;
                    if (InWindow(options.filesSeen)) files.push_back(MakeEntry(found, base));
                    ++options.filesSeen;
                } else if (isFolder && selection != ListSelection::FilesOnly) {
                    if (!Kept(found.cFileName)) continue;
                    if (InWindow(options.foldersSeen)) folders.push_back(MakeEntry(found, base));
                    ++options.foldersSeen;
                    if (options.recurse && !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                        Walk(base + found.cFileName);
                }
            } while (::FindNextFileA(find.get(), &found));
        }
    } walker{selection, options, files, folders};
    walker.Walk(folder);
    return 1;
}
