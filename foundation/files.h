// Files and paths: the program's own folder, path tests, whole-file reads, small text
// files, deletion, copies of files and trees, and replacing programs that may be
// running. Folder paths returned here end with a backslash. Every routine looks past
// the WOW64 file-system redirection where it matters (see wow64_fs_guard.h).
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

std::string ModuleFolder();
std::string WindowsFolder();
// True when the path exists and is a folder (folder = true) or not a folder (false).
bool PathIs(const std::string& path, bool folder);
// 1 when the file opened (the buffer is zeroed over count bytes first), else 0.
int ReadFileBytes(char* buffer, const std::string& path, std::size_t count);
// Reads a file of 5 bytes to 100 MiB whole, zero bytes left out; returns its size, or 0
// (output untouched) when the file is missing, too small, too large or unreadable.
std::size_t ReadWholeFile(std::string& output, const std::string& path);
// Text-mode write ("\n" becomes "\r\n"); lineBreak ends the text with a line break.
int WriteTextFile(const std::string& path, bool lineBreak, bool append, const std::string& text);
// 1 when the path is empty, missing, a folder, or was deleted (read-only cleared first).
int DeleteFileForce(const std::string& path);
bool FileExistsReal(const std::string& path);
// folder = true: an existing folder; false: anything at the path.
bool PathExistsReal(const std::string& path, bool folder);
// Creates every missing level; true when the folder exists at the end.
bool CreateFolderPath(const std::string& folder);
// 1 when all bytes were written, else 0 with an error text for the user.
int WriteBufferToFile(const void* buffer, std::string& error, const std::string& path, std::size_t length);
// Sorted names of the files and folders matching "*.<filter>" ("" or "*": all).
std::size_t ListFolderNames(const std::string& filter, std::vector<std::string>& names, const std::string& folder);

enum class ListSelection { FilesAndFolders = 0, FoldersOnly = 1, FilesOnly = 2 };

struct FolderEntry {
    int kind = 1;  // 4: a non-empty .lnk file, 1: anything else
    DWORD attributes = 0;
    FILETIME created{}, accessed{}, written{};
    DWORD sizeHigh = 0, sizeLow = 0;
    std::string path;  // folder + name
    std::string name;
};

struct ListOptions {
    std::string filter;  // kept when the lower-cased name contains it, if filterOn
    bool filterOn = false;
    bool recurse = false;
    std::size_t first = 0, last = 99999;  // window [first, last) of positions
    std::size_t filesSeen = 0, foldersSeen = 0;
};

class COrmFile {
public:
    virtual ~COrmFile() = default;
    // The shell deletes the file or the whole folder (no recycle bin); 1 on success.
    int DeleteTree(const std::string& path);
    int ListFolder(ListSelection selection, std::vector<FolderEntry>& files, std::vector<FolderEntry>& folders,
                   const std::string& folder, ListOptions& options);
    int CopyFileBytes(const std::string& source, const std::string& target);
    // Copies a file or folder into a folder; non-zero on success.
    int CopyTree(const std::string& source, const std::string& target);
    int RenamePath(const std::string& oldPath, const std::string& newPath);
    // Puts source's bytes at target even while target is a running program: the old
    // file is moved aside to target + ".del" first. 1 when target holds the new bytes.
    int ReplaceFile(const std::string& source, const std::string& target);
};
