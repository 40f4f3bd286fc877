// Reading and writing whole small files.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "foundation/files.h"
#include "foundation/text.h"
#include "foundation/unique_handle.h"
#include "foundation/wow64_fs_guard.h"

namespace {

constexpr std::size_t kWholeFileMinimum = 5;  // anything shorter cannot be a sealed answer
constexpr std::size_t kWholeFileMaximum = 100 * 1024 * 1024;

// Others may go on reading and writing the file meanwhile (logs, answer files).
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace

int ReadFileBytes(char* buffer, const std::string& path, std::size_t count) {
    std::fill(buffer, buffer + count, '\0');
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return 0;
    std::size_t done = 0;
    while (done < count) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 30));
        DWORD read = 0;
        if (!::ReadFile(file.get(), buffer + done, chunk, &read, nullptr) || read == 0) break;
        done += read;
    }
    return 1;
}

std::size_t ReadWholeFile(std::string& output, const std::string& path) {
    if (path.empty()) return 0;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return 0;
    const unsigned long long size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    if (size < kWholeFileMinimum || size > kWholeFileMaximum) return 0;
    std::vector<char> buffer(static_cast<std::size_t>(size) + 3, '\0');
    output.clear();
    if (!ReadFileBytes(buffer.data(), path, static_cast<std::size_t>(size) + 1)) return 0;
    output.reserve(static_cast<std::size_t>(size));
    for (std::size_t i = 0; i < size; ++i)
        if (buffer[i] != '\0') output += buffer[i];
    return static_cast<std::size_t>(size);
}

int WriteTextFile(const std::string& path, bool lineBreak, bool append, const std::string& text) {
    std::string target = path;
    ReplaceAll("/", target, "\\");
    UniqueFile file(::CreateFileA(target.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE, kShareAll, nullptr,
                                  append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return 0;
    // Text mode: every line feed goes to disk as carriage return and line feed.
    std::string bytes;
    bytes.reserve(text.size() + 16);
    for (char c : text) {
        if (c == '\n') bytes += '\r';
        bytes += c;
    }
    if (lineBreak) bytes += "\r\n";
    DWORD written = 0;
    // One write: appended lines of two writers never interleave.
    ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    return 1;
}

int DeleteFileForce(const std::string& path) {
    if (path.empty()) return 1;
    RedirectionOff redirection;
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return 1;
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return ::DeleteFileA(path.c_str()) ? 1 : 0;
}

int WriteBufferToFile(const void* buffer, std::string& error, const std::string& path, std::size_t length) {
    if (path.empty()) {
        error = ToGbk(L"文件路径为空");
        return 0;
    }
    RedirectionOff redirection;
    UniqueFile file(
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        error = ToGbk(L"打开文件失败，错误码") + IntText(static_cast<int>(::GetLastError()));
        return 0;
    }
    const char* bytes = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < length) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(length - done, 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file.get(), bytes + done, chunk, &written, nullptr) || written == 0) {
            error = ToGbk(L"写入文件数据失败，错误码") + IntText(static_cast<int>(::GetLastError()));
            return 0;
        }
        done += written;
    }
    return 1;
}
