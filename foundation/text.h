// Narrow text (GBK bytes, the system ANSI code page on the target servers) and wide
// text (UTF-16), the conversions between them and the small routines that every
// program calls. An empty result means "missing"; nothing here throws or reports.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CStringUtil {
public:
    virtual ~CStringUtil() = default;
    // Out of a dialog: with the machine's ANSI code page (CP_ACP).
    std::string WideToMulti(const std::wstring& wide);
    // Into a dialog: always read as GBK (code page 936).
    std::wstring MultiToWide(const std::string& narrow);
};

// The same conversion as MultiToWide; an empty text is not sent to the converter.
std::wstring GbkToWide(const std::string& narrow);

// Replaces every occurrence of find in text; false when nothing changed (also when
// find is empty or equals the replacement).
bool ReplaceAll(const std::string& find, std::string& text, const std::string& replacement);
std::string ReplacedCopy(const std::string& source, const std::string& find, const std::string& replacement);
// "/" becomes "\", then one left-to-right pass turns "\\" into "\".
std::string NormalizeSlashes(const std::string& path);
void ToLowerInPlace(std::string& text);
std::string LowerCopy(const std::string& text);
std::string UpperCopy(const std::string& text);
// Pieces shorter than minLength are dropped; returns the number of pieces kept.
std::size_t SplitText(const std::string& source, const std::string& separator, std::size_t minLength,
                      std::vector<std::string>& pieces);
// Without leading and trailing bytes 9 to 13 and 32.
std::string TrimSpace(const std::string& text);
// The bytes between the first startTag and the next endTag after it; empty when missing.
std::string TextBetween(const std::string& source, const std::string& startTag, const std::string& endTag);
// What follows the last "." of the last path element, case kept; empty when none.
std::string FileExtension(const std::string& path);
std::string IntText(std::int32_t value);
std::string UIntText(std::uint32_t value);
// Seconds since 1970 (UTC), low 32 bits, in decimal.
std::string NowSecondsText();
// Local time as "%d-%02d-%02d %02d:%02d:%02d".
std::string NowStampText();
std::string RandomText(std::size_t length, bool digitsOnly);
std::string RandomText8();
// True when version a is newer than b; parts compare as numbers, an empty side gives true.
bool IsNewerVersion(const std::string& a, const std::string& b);
bool IsIPv4Text(const std::string& text);
// True when two consecutive bytes both have their high bit set (a GBK character).
bool HasDoubleByteText(const std::string& text);
// True when every byte is a digit; also for an empty text.
bool IsDigitsText(const std::string& text);
// Dispatches every waiting message of this thread; false when WM_QUIT was taken.
bool PumpMessages();

// The system's own Chinese texts are GBK whatever the machine's code page: write them
// as wide literals and turn them into GBK bytes here.
std::string ToGbk(const std::wstring& wide);
