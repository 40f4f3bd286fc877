// A thin binding of the Windows profile-string functions to one INI file. Nothing is
// cached: every read goes to the file, so another process's writes are seen at once.
#pragma once
#include <string>

class CIniReader {
public:
    virtual ~CIniReader() = default;
    int SetFile(const std::string& path);  // stored with NormalizeSlashes; always 1
    // Empty when the key or the section is empty or the key is missing.
    std::string ReadString(const std::string& key, const std::string& section) const;
    int WriteString(const std::string& value, const std::string& key, const std::string& section) const;
    const std::string& File() const { return file_; }

private:
    std::string file_;
};
