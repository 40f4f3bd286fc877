#include "foundation/ini_reader.h"

#include <windows.h>

#include <vector>

#include "foundation/text.h"

namespace {
constexpr DWORD kValueCapacity = 10240;  // Windows cuts a longer value to 10239 characters
}

int CIniReader::SetFile(const std::string& path) {
    file_ = NormalizeSlashes(path);
    return 1;
}

std::string CIniReader::ReadString(const std::string& key, const std::string& section) const {
    if (key.empty() || section.empty()) return std::string();
    std::vector<char> buffer(kValueCapacity + 3, '\0');
    ::GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer.data(), kValueCapacity, file_.c_str());
    return std::string(buffer.data());
}

int CIniReader::WriteString(const std::string& value, const std::string& key, const std::string& section) const {
    ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file_.c_str());
    return 0;
}
