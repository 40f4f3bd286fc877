#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "foundation/scramble.h"

namespace {

constexpr std::uint32_t kMul = 0x01000193, kAdd = 0x7F4A7C15, kKey = 0x9E3779B9;

// The inverse of Unscramble, as the build-time encoder does it.
std::string Scramble(const std::string& plain, std::uint32_t mul, std::uint32_t add, std::uint32_t key) {
    std::string out;
    for (unsigned char p : plain) {
        unsigned char e = static_cast<unsigned char>(p ^ ((key >> 8) & 0xFF));
        out += static_cast<char>(143 + e / 26);
        out += static_cast<char>(209 + e % 26);
        key = (static_cast<std::uint32_t>(e) + key) * mul + add;
    }
    return out;
}

std::string Decode(const std::string& literal, std::uint32_t mul = kMul) {
    return Unscramble(literal, literal.size(), mul, kAdd, kKey);
}

TEST(Unscramble, ShortLiteralsAreEmpty) {
    EXPECT_EQ(Decode(""), "");
    EXPECT_EQ(Decode("\x90"), "");
}

TEST(Unscramble, OddLastByteIsIgnored) {
    const std::string lit = Scramble("abc", kMul, kAdd, kKey);
    EXPECT_EQ(Decode(lit + "\x95"), "abc");
}

TEST(Unscramble, RoundTripsEveryByteValue) {
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    all += std::string("\0\0x", 3);
    EXPECT_EQ(Decode(Scramble(all, kMul, kAdd, kKey)), all);
}

TEST(Unscramble, LiteralLooksLikeGbkPairs) {
    for (unsigned char c : Scramble("SOFTWARE\\Run", kMul, kAdd, kKey)) (void)c;
    const std::string lit = Scramble("SOFTWARE\\Run", kMul, kAdd, kKey);
    for (size_t i = 0; i < lit.size(); i += 2) {
        EXPECT_GE(static_cast<unsigned char>(lit[i]), 0x8F);
        EXPECT_LE(static_cast<unsigned char>(lit[i]), 0xA8);
        EXPECT_GE(static_cast<unsigned char>(lit[i + 1]), 0xD1);
        EXPECT_LE(static_cast<unsigned char>(lit[i + 1]), 0xEA);
    }
}

TEST(Unscramble, MultiplierChangesEveryByteAfterTheFirst) {
    const std::string plain(32, 'x');
    const std::string lit = Scramble(plain, kMul, kAdd, kKey);
    const std::string other = Decode(lit, kMul + 2);
    EXPECT_EQ(other[0], plain[0]);  // the first byte depends on the key and the first pair only
    int same = 0;
    for (size_t i = 1; i < plain.size(); ++i) same += other[i] == plain[i];
    EXPECT_LE(same, 1);  // a chance match of one byte is possible, a pattern is not
}

TEST(StoredTexts, DecodeToTheirRoles) {
    EXPECT_EQ(Unscrambled(scrambled::kChannelEndpoint).size(), 24u);
    EXPECT_EQ(Unscrambled(scrambled::kChannelEndpoint).rfind("\\\\.\\mailslot\\", 0), 0u);
    EXPECT_EQ(Unscrambled(scrambled::kChannelKey).size(), 31u);
    EXPECT_EQ(Unscrambled(scrambled::kUninstallParentKey).size(), 52u);
    EXPECT_EQ(Unscrambled(scrambled::kFallbackDesktopFolder).size(), 31u);
    EXPECT_EQ(Unscrambled(scrambled::kCleanupDeleteFileCommand), "del /f /q");
    EXPECT_EQ(Unscrambled(scrambled::kCleanupRemovePathCommand), "rd /s /q");
    EXPECT_EQ(Unscrambled(scrambled::kFirewallDeleteRulePrefix).size(), 44u);
    EXPECT_EQ(Unscrambled(scrambled::kFirewallAddRulePrefix).size(), 41u);
    const std::string address = Unscrambled(scrambled::kAddressServiceUrl);
    EXPECT_TRUE(address.rfind("http://127.", 0) == 0 || address.rfind("http://localhost", 0) == 0)
        << "the address service must default to loopback: " << address;
}

}  // namespace
