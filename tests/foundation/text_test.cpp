#include <gtest/gtest.h>
#include <windows.h>

#include "foundation/text.h"

namespace {

// "防入侵" in GBK and UTF-16.
const std::string kGbk = "\xB7\xC0\xC8\xEB\xC7\xD6";
const std::wstring kWide = L"\x9632\x5165\x4FB5";

TEST(Conversion, RunsUnderTheTargetCodePage) { EXPECT_EQ(::GetACP(), 936u); }

TEST(Conversion, ChineseTextRoundTripsThroughGbk) {
    CStringUtil util;
    EXPECT_EQ(util.MultiToWide(kGbk), kWide);
    EXPECT_EQ(util.WideToMulti(kWide), kGbk);
    EXPECT_EQ(GbkToWide(kGbk + "abc"), kWide + L"abc");
    EXPECT_EQ(GbkToWide(""), L"");
    EXPECT_EQ(util.WideToMulti(L""), "");
}

TEST(Conversion, CharacterOutsideGbkBecomesTheReplacementCharacter) {
    CStringUtil util;
    // U+0E01 (Thai) has no GBK form: the converter substitutes its default character.
    std::string narrow = util.WideToMulti(L"a\x0E01" L"b");
    EXPECT_EQ(narrow, "a?b");
}

TEST(Conversion, StopsAtAnEmbeddedZero) {
    CStringUtil util;
    EXPECT_EQ(util.MultiToWide(std::string("ab\0cd", 5)), L"ab");
}

TEST(ReplaceAll, Cases) {
    struct Case {
        std::string find, text, replacement, expected;
        bool changed;
    } cases[] = {
        {"a", "banana", "a", "banana", false},  // replacement equal to the text searched for
        {"", "banana", "x", "banana", false},
        {"q", "banana", "x", "banana", false},
        {"an", "banana", "", "ba", true},
        {"aa", "aaaaa", "b", "bba", true},  // never overlapping, left to right
        {"\\\\", "a\\\\\\b", "\\", "a\\\\b", true},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(ReplaceAll(c.find, text, c.replacement), c.changed) << c.find << " in " << c.text;
        EXPECT_EQ(text, c.expected) << c.find << " in " << c.text;
    }
    EXPECT_EQ(ReplacedCopy("x.y.z", ".", "::"), "x::y::z");
}

TEST(NormalizeSlashes, ForwardAndDoubledSlashes) {
    EXPECT_EQ(NormalizeSlashes("C:/a//b/c.txt"), "C:\\a\\b\\c.txt");
    EXPECT_EQ(NormalizeSlashes("a\\\\\\b"), "a\\\\b");  // three become two: one pass
}

TEST(CaseFolding, OnlyAsciiLettersChange) {
    EXPECT_EQ(LowerCopy("OrmVEX.EXE" + kGbk), "ormvex.exe" + kGbk);
    EXPECT_EQ(UpperCopy("ormvex" + kGbk), "ORMVEX" + kGbk);
    std::string s = "AbC";
    ToLowerInPlace(s);
    EXPECT_EQ(s, "abc");
}

TEST(SplitText, Cases) {
    std::vector<std::string> pieces{"stale"};
    EXPECT_EQ(SplitText("a,,b", ",", 1, pieces), 2u);
    EXPECT_EQ(pieces, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(SplitText("a,,b", ",", 0, pieces), 3u);
    EXPECT_EQ(SplitText("a,b", "", 1, pieces), 0u);
    EXPECT_TRUE(pieces.empty());
    EXPECT_EQ(SplitText("", ",", 1, pieces), 0u);
    EXPECT_EQ(SplitText("one  two   three", " ", 1, pieces), 3u);
    EXPECT_EQ(SplitText("1..2", ".", 1, pieces), 2u);
    EXPECT_EQ(SplitText("ab<>cd<>", "<>", 1, pieces), 2u);
}

TEST(TrimSpace, Cases) {
    EXPECT_EQ(TrimSpace("\t\r\n "), "");
    EXPECT_EQ(TrimSpace(""), "");
    EXPECT_EQ(TrimSpace("  a b\r\n"), "a b");
    EXPECT_EQ(TrimSpace("\x0b" "x" "\x0c"), "x");
}

TEST(TextBetween, Cases) {
    EXPECT_EQ(TextBetween("<a>1</a><a>2</a>", "<a>", "</a>"), "1");
    EXPECT_EQ(TextBetween("<a>1", "<a>", "</a>"), "");
    EXPECT_EQ(TextBetween("</a><a>x</a>", "<a>", "</a>"), "x");  // end tag searched behind the start
    EXPECT_EQ(TextBetween("abc", "", ""), "abc");
    EXPECT_EQ(TextBetween("abc", "", "c"), "");
    EXPECT_EQ(TextBetween("", "<a>", "</a>"), "");
    EXPECT_EQ(TextBetween("<data><port>80</port></data>", "<port>", "</port>"), "80");
    EXPECT_EQ(TextBetween(std::string("<a>x\0y</a>", 10), "<a>", "</a>"), std::string("x\0y", 3));
}

TEST(FileExtension, Cases) {
    EXPECT_EQ(FileExtension("C:\\a.dir\\file"), "");
    EXPECT_EQ(FileExtension("C:\\x\\b.LNK"), "LNK");
    EXPECT_EQ(FileExtension("a/b.tar.gz"), "gz");
    EXPECT_EQ(FileExtension("name."), "");
}

TEST(Numbers, Formatting) {
    EXPECT_EQ(IntText(-5), "-5");
    EXPECT_EQ(UIntText(4294967295u), "4294967295");
    EXPECT_TRUE(IsDigitsText(NowSecondsText()));
    EXPECT_GE(NowSecondsText().size(), 10u);
}

TEST(Numbers, StampLayout) {
    const std::string stamp = NowStampText();
    ASSERT_EQ(stamp.size(), 19u) << stamp;
    EXPECT_EQ(stamp[4], '-');
    EXPECT_EQ(stamp[7], '-');
    EXPECT_EQ(stamp[10], ' ');
    EXPECT_EQ(stamp[13], ':');
    EXPECT_EQ(stamp[16], ':');
}

TEST(RandomText, AlphabetAndLength) {
    EXPECT_EQ(RandomText(0, false), "");
    const std::string digits = RandomText(200, true);
    EXPECT_EQ(digits.size(), 200u);
    EXPECT_TRUE(IsDigitsText(digits));
    const std::string any = RandomText8();
    EXPECT_EQ(any.size(), 8u);
    for (char c : any) EXPECT_TRUE(isalnum(static_cast<unsigned char>(c))) << any;
}

TEST(IsNewerVersion, Cases) {
    struct Case {
        const char *a, *b;
        bool newer;
    } cases[] = {
        {"1.0.0.10", "1.0.0.9", true}, {"1.2", "1.2", false},   {"", "1.0", true},
        {"1.0", "", true},             {"2.0.0", "2", true},    {"2", "2.0.0", false},
        {"1.1.0", "1.0.9", true},      {"1.1.0", "1.1", true},  {"1.1.0", "1.1.1", false},
        {" 1.2 ", "1.2", false},       {"07", "7", false},      {"1..2", "1.1", true},
        {"1.0.0.0.9", "1.0.0.0.1", false},  // only four parts count
    };
    for (const Case& c : cases) EXPECT_EQ(IsNewerVersion(c.a, c.b), c.newer) << c.a << " vs " << c.b;
}

TEST(IsIPv4Text, Cases) {
    EXPECT_TRUE(IsIPv4Text("203.0.113.7"));
    EXPECT_TRUE(IsIPv4Text("0.0.0.0"));
    EXPECT_TRUE(IsIPv4Text("255.255.255.255"));
    for (const char* bad : {"256.1.1.1", "1.2.3", "1.2.3.4.5", ".1.2.3", "1.2.3.4.", "1.2.3.x", "1", "",
                            "1.2.3.-4", "1.2.3.99999999999"})
        EXPECT_FALSE(IsIPv4Text(bad)) << bad;
}

TEST(HasDoubleByteText, Cases) {
    EXPECT_TRUE(HasDoubleByteText("D:\\" + kGbk));
    EXPECT_FALSE(HasDoubleByteText("D:\\ormvex"));
    EXPECT_FALSE(HasDoubleByteText("\xB7"));
    EXPECT_FALSE(HasDoubleByteText(std::string("a\0\xB7\xC0", 4)));  // stops at the zero byte
}

TEST(PumpMessages, ReportsTheQuitMessage) {
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_USER, 0, 0);
    EXPECT_TRUE(PumpMessages());
    ::PostQuitMessage(0);
    EXPECT_FALSE(PumpMessages());
}

}  // namespace
