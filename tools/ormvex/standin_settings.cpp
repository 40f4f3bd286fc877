#include "tools/ormvex/standin_settings.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "foundation/files.h"

namespace {

const char kSection[] = "standin";
const char kTestSection[] = "test";
// Values longer than this are not part of any situation a test sets up.
constexpr DWORD kValueCapacity = 4096;

struct Default {
    const char* key;
    const char* value;
};
const Default kDefaults[] = {
    {"port", "6689"},      {"onlylocal", "0"},        {"on", "1"},
    {"authcode", "ormvex2026"}, {"uninstallcode", "1"}, {"uninstallid", "standin-0001"},
    {"uninstallconfirm", "1"}, {"admins", "0"},         {"version", "1.1.0"},
    {"user", "admin"},     {"pass", "Orm@6689"},
};

const char* DefaultOf(const char* key) {
    for (const Default& entry : kDefaults) {
        if (std::strcmp(entry.key, key) == 0) return entry.value;
    }
    return "";
}

// A missing key and an empty one differ here: a test may set a value to empty.
const char kMissing[] = "\x01missing";

std::string ReadValue(const std::string& file, const char* section, const char* key) {
    char value[kValueCapacity] = {};
    ::GetPrivateProfileStringA(section, key, kMissing, value, kValueCapacity, file.c_str());
    return value;
}

}  // namespace

CStandinSettings::CStandinSettings(const std::string& folder)
    : folder_(folder), file_(folder + "config\\standin.ini") {}

std::string CStandinSettings::Text(const char* key) const {
    const std::string value = ReadValue(file_, kSection, key);
    return value == kMissing ? DefaultOf(key) : value;
}

int CStandinSettings::Number(const char* key) const { return std::atoi(Text(key).c_str()); }

void CStandinSettings::Set(const char* key, const std::string& value) const {
    ::WritePrivateProfileStringA(kSection, key, value.c_str(), file_.c_str());
}

std::string CStandinSettings::TestSwitch(const char* key) const {
    const std::string value = ReadValue(file_, kTestSection, key);
    return value == kMissing ? std::string() : value;
}

void CStandinSettings::SetTestSwitch(const char* key, const std::string& value) const {
    ::WritePrivateProfileStringA(kTestSection, key, value.c_str(), file_.c_str());
}

void CStandinSettings::LogRequest(const std::string& line) const {
    WriteTextFile(folder_ + "config\\standin_requests.txt", true, true, line);
}

std::string CStandinSettings::LocalUrl() const {
    std::string url = "http://localhost:" + Text("port");
    const std::string entry = Text("entry");
    if (!entry.empty()) url += "/" + entry;
    return url;
}

