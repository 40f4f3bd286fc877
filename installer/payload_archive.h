// Unpacking the payload archive below a base folder with minizip.
#pragma once
#include <cstddef>
#include <string>

// Turns an archive member name into a relative path that cannot leave the base folder:
// without a drive prefix, without leading slashes, without anything up to the last
// ".." segment, with backslashes only. Empty when nothing usable is left.
std::string SanitizeMemberName(const std::string& name);

struct UnpackResult {
    bool opened = false;           // false: the archive could not be opened or read
    std::size_t filesWritten = 0;
    std::size_t membersSkipped = 0;
};

// Writes every member below baseFolder (folders created as needed, existing files
// overwritten, each file gets the time recorded in the archive). A member that cannot
// be written is skipped; one whose entry cannot be read ends the loop.
UnpackResult UnpackArchive(const std::string& archivePath, const std::string& baseFolder);
