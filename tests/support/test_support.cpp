#include "support/test_support.h"

#include <shellapi.h>

#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace testing_support {

ScratchFolder::ScratchFolder() {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    static LONG counter = 0;
    const LONG n = ::InterlockedIncrement(&counter);
    path_ = std::string(temp) + "ormvex_test_" + std::to_string(::GetCurrentProcessId()) + "_" + std::to_string(n) +
            "_" + std::to_string(::GetTickCount()) + "\\";
    ::CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    std::string from = path_.substr(0, path_.size() - 1);
    from.push_back('\0');  // the shell wants a double zero at the end
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    ::SHFileOperationA(&op);
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds deadline,
             std::chrono::milliseconds interval) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (true) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(interval);
    }
}

std::string ReadFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

bool FileExists(const std::string& path) {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string TestProgramFolder() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.rfind('\\') + 1);
}

}  // namespace testing_support
