#include "foundation/text.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

constexpr UINT kGbkCodePage = 936;

std::wstring ToWide(UINT codePage, const std::string& narrow) {
    const std::string source(narrow.c_str());  // the converter reads up to the first zero byte
    int size = ::MultiByteToWideChar(codePage, 0, source.c_str(), -1, nullptr, 0);
    if (size <= 0) return std::wstring();
    std::vector<wchar_t> buffer(static_cast<size_t>(size) + 2, L'\0');
    if (::MultiByteToWideChar(codePage, 0, source.c_str(), -1, buffer.data(), size) <= 0) return std::wstring();
    return std::wstring(buffer.data());
}

// Reads like the C library's atoi: leading white space, a sign, digits up to the
// first non-digit; values outside 32 bits saturate.
long long ReadLeadingInteger(const std::string& text) {
    return std::strtoll(text.c_str(), nullptr, 10);
}

}  // namespace

std::string CStringUtil::WideToMulti(const std::wstring& wide) {
    const std::wstring source(wide.c_str());
    int size = ::WideCharToMultiByte(CP_ACP, 0, source.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::vector<char> buffer(static_cast<size_t>(size) + 2, '\0');
    if (::WideCharToMultiByte(CP_ACP, 0, source.c_str(), -1, buffer.data(), size, nullptr, nullptr) <= 0)
        return std::string();
    return std::string(buffer.data());
}

std::wstring CStringUtil::MultiToWide(const std::string& narrow) { return ToWide(kGbkCodePage, narrow); }

std::wstring GbkToWide(const std::string& narrow) {
    if (narrow.empty()) return std::wstring();
    return ToWide(kGbkCodePage, narrow);
}

bool ReplaceAll(const std::string& find, std::string& text, const std::string& replacement) {
    if (find == replacement || find.empty()) return false;
    if (text.find(find) == std::string::npos) return false;
    const std::string work(text.c_str());  // scanned as a zero-terminated string
    text.clear();
    size_t from = 0;
    for (size_t at = work.find(find); at != std::string::npos; at = work.find(find, from)) {
        text.append(work, from, at - from);
        text += replacement;
        from = at + find.size();
    }
    text.append(work, from, std::string::npos);
    return true;
}

std::string ReplacedCopy(const std::string& source, const std::string& find, const std::string& replacement) {
    std::string copy = source;
    ReplaceAll(find, copy, replacement);
    return copy;
}

std::string NormalizeSlashes(const std::string& path) {
    std::string copy = path;
    ReplaceAll("/", copy, "\\");
    ReplaceAll("\\\\", copy, "\\");
    return copy;
}

void ToLowerInPlace(std::string& text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
}

std::string LowerCopy(const std::string& text) {
    std::string copy = text;
    ToLowerInPlace(copy);
    return copy;
}

std::string UpperCopy(const std::string& text) {
    std::string copy = text;
    for (char& c : copy)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return copy;
}

std::size_t SplitText(const std::string& source, const std::string& separator, std::size_t minLength,
                      std::vector<std::string>& pieces) {
    pieces.clear();
    if (source.empty() || separator.empty()) return 0;
    size_t from = 0;
    for (size_t at = source.find(separator); at != std::string::npos; at = source.find(separator, from)) {
        if (at - from >= minLength) pieces.push_back(source.substr(from, at - from));
        from = at + separator.size();
    }
    if (source.size() - from >= minLength) pieces.push_back(source.substr(from));
    return pieces.size();
}

std::string TrimSpace(const std::string& text) {
    auto isSpace = [](unsigned char c) { return c == 32 || (c >= 9 && c <= 13); };
    size_t begin = 0;
    while (begin < text.size() && isSpace(text[begin])) ++begin;
    if (begin == text.size()) return std::string();
    size_t end = text.size();
    while (end > begin && isSpace(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

std::string TextBetween(const std::string& source, const std::string& startTag, const std::string& endTag) {
    if (startTag.empty() && endTag.empty()) return source;
    if (source.empty() || startTag.empty() || endTag.empty()) return std::string();
    size_t start = source.find(startTag);
    if (start == std::string::npos) return std::string();
    start += startTag.size();
    size_t end = source.find(endTag, start);
    if (end == std::string::npos) return std::string();
    return source.substr(start, end - start);
}

std::string FileExtension(const std::string& path) {
    std::string copy = path;
    for (char& c : copy)
        if (c == '\\') c = '/';
    size_t slash = copy.rfind('/');
    if (slash != std::string::npos) copy.erase(0, slash + 1);
    size_t dot = copy.rfind('.');
    if (dot == std::string::npos) return std::string();
    return copy.substr(dot + 1);
}

std::string IntText(std::int32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d", static_cast<int>(value));
    return buffer;
}

std::string UIntText(std::uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%u", static_cast<unsigned>(value));
    return buffer;
}

std::string NowSecondsText() { return UIntText(static_cast<std::uint32_t>(std::time(nullptr))); }

std::string NowStampText() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_s(&local, &now) != 0) return std::string();
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return buffer;
}

std::string RandomText(std::size_t length, bool digitsOnly) {
    static const char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static const char kDigits[] = "0123456789";
    const char* alphabet = digitsOnly ? kDigits : kAlphabet;
    const size_t size = digitsOnly ? 10 : 62;
    std::srand(static_cast<unsigned>(static_cast<std::uint32_t>(std::time(nullptr)) +
                                      static_cast<std::uint32_t>(::GetTickCount())));
    std::string text;
    for (size_t i = 0; i < length; ++i) text += alphabet[static_cast<size_t>(std::rand()) % size];
    return text;
}

std::string RandomText8() { return RandomText(8, false); }

bool IsNewerVersion(const std::string& a, const std::string& b) {
    auto stripBlanks = [](const std::string& s) {
        size_t begin = s.find_first_not_of(' ');
        if (begin == std::string::npos) return std::string();
        return s.substr(begin, s.find_last_not_of(' ') - begin + 1);
    };
    const std::string va = stripBlanks(a), vb = stripBlanks(b);
    if (va.empty() || vb.empty()) return true;
    std::vector<std::string> pa, pb;
    SplitText(va, ".", 1, pa);
    SplitText(vb, ".", 1, pb);
    for (size_t k = 0; k < 4; ++k) {
        const bool hasA = k < pa.size(), hasB = k < pb.size();
        if (hasA && hasB) {
            const int partA = std::atoi(pa[k].c_str()), partB = std::atoi(pb[k].c_str());
            if (partB < partA) return true;
            if (partA < partB) return false;
        } else if (hasA) {
            return true;
        } else {
            return false;  // b has a further part, or both are equal
        }
    }
    return false;
}

bool IsIPv4Text(const std::string& text) {
    if (text.size() < 2 || text.front() == '.' || text.back() == '.') return false;
    std::vector<std::string> parts;
    if (SplitText(text, ".", 1, parts) != 4) return false;
    for (const std::string& part : parts) {
        if (!IsDigitsText(part)) return false;
        if (static_cast<unsigned long long>(ReadLeadingInteger(part)) > 255) return false;
    }
    return true;
}

bool HasDoubleByteText(const std::string& text) {
    if (text.size() <= 1) return false;
    for (size_t i = 0; i + 1 < text.size() && text[i] != '\0'; ++i) {
        if ((text[i] & 0x80) && (text[i + 1] & 0x80)) return true;
    }
    return false;
}

bool IsDigitsText(const std::string& text) {
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

bool PumpMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) return false;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return true;
}

std::string ToGbk(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    const std::wstring source(wide.c_str());
    int size = ::WideCharToMultiByte(kGbkCodePage, 0, source.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::vector<char> buffer(static_cast<size_t>(size) + 2, '\0');
    if (::WideCharToMultiByte(kGbkCodePage, 0, source.c_str(), -1, buffer.data(), size, nullptr, nullptr) <= 0)
        return std::string();
    return std::string(buffer.data());
}
