#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "foundation/aes.h"

namespace {

std::string Hex(const unsigned char* bytes, size_t n) {
    static const char d[] = "0123456789abcdef";
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        s += d[bytes[i] >> 4];
        s += d[bytes[i] & 15];
    }
    return s;
}

void FromHex(const char* hex, unsigned char* out) {
    for (size_t i = 0; i < std::strlen(hex) / 2; ++i) {
        unsigned v;
        std::sscanf(hex + 2 * i, "%2x", &v);
        out[i] = static_cast<unsigned char>(v);
    }
}

// FIPS-197 appendices B and C.1, and vectors of the AES known-answer tests
// (ECBVarTxt128, ECBVarKey128, ECBGFSbox128).
TEST(CAES, KnownAnswerVectors) {
    struct Vector {
        const char *key, *plain, *cipher;
    } vectors[] = {
        {"2b7e151628aed2a6abf7158809cf4f3c", "3243f6a8885a308d313198a2e0370734", "3925841d02dc09fbdc118597196a0b32"},
        {"000102030405060708090a0b0c0d0e0f", "00112233445566778899aabbccddeeff", "69c4e0d86a7b0430d8cdb78070b4c55a"},
        {"00000000000000000000000000000000", "80000000000000000000000000000000", "3ad78e726c1ec02b7ebfe92b23d9ec34"},
        {"80000000000000000000000000000000", "00000000000000000000000000000000", "0edd33d3c621e546455bd8ba1418bec8"},
        {"00000000000000000000000000000000", "f34481ec3cc627bacd5dc3fb08f273e6", "0336763e966d92595a567cc9ce537f5e"},
        {"00000000000000000000000000000000", "9798c4640bad75c7c3227db910174e72", "a9a1631bf4996954ebc093957b234589"},
        {"ffffffffffffffffffffffffffffffff", "00000000000000000000000000000000", "a1f6258c877d5fcd8964484538bfc92c"},
    };
    for (const Vector& v : vectors) {
        unsigned char key[16], block[16];
        FromHex(v.key, key);
        FromHex(v.plain, block);
        CAES aes(key);
        aes.EncryptBlocks(block, 16);
        EXPECT_EQ(Hex(block, 16), v.cipher) << v.key;
        aes.DecryptBlocks(block, 16);
        EXPECT_EQ(Hex(block, 16), v.plain) << v.key;
    }
}

TEST(CAES, ZeroLengthTakesTheTextWithItsTerminator) {
    unsigned char key[16] = {1};
    CAES aes(key);
    unsigned char a[32] = "fifteen chars!!";  // 15 characters + zero = one block
    unsigned char b[32] = "fifteen chars!!";
    aes.EncryptBlocks(a, 0);
    aes.EncryptBlocks(b, 16);
    EXPECT_EQ(std::memcmp(a, b, 32), 0);
}

TEST(CAesText, SealedLengths) {
    CAesText aes("0123456789abcdef");
    EXPECT_EQ(aes.SealText("").size(), 32u);
    EXPECT_EQ(aes.SealText(std::string(15, 'a')).size(), 32u);
    EXPECT_EQ(aes.SealText(std::string(16, 'a')).size(), 64u);
    const std::string sealed = aes.SealText("<cmd>showme</cmd>");
    EXPECT_EQ(sealed.find_first_not_of("0123456789ABCDEF"), std::string::npos);
}

TEST(CAesText, RoundTripsGbkText) {
    CAesText aes("Orm#Vex!Cluster@Console$Key2026");
    const std::string text = "<status>1</status><data>\xB3\xC9\xB9\xA6 ok</data>";
    EXPECT_EQ(aes.OpenText(aes.SealText(text)), text);
    std::string lower = aes.SealText(text);
    for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(aes.OpenText(lower), text);
}

TEST(CAesText, EmbeddedZeroEndsTheOpenedText) {
    CAesText aes("k");
    EXPECT_EQ(aes.OpenText(aes.SealText(std::string("ab\0cd", 5))), "ab");
}

TEST(CAesText, KeyTextIsCutOrPaddedTo16Bytes) {
    EXPECT_EQ(CAesText("ABCDEFGHIJKLMNOPQRST").SealText("x"), CAesText("ABCDEFGHIJKLMNOP").SealText("x"));
    EXPECT_EQ(CAesText("ABCDEFGHIJ").SealText("x"), CAesText(std::string("ABCDEFGHIJ\0\0\0\0\0\0", 16)).SealText("x"));
    EXPECT_NE(CAesText("ABCDEFGHIJ").SealText("x"), CAesText("ABCDEFGHIJK").SealText("x"));
}

TEST(CAesText, MalformedSealedTextNeverCrashes) {
    CAesText aes("key");
    const std::string good = aes.SealText("hello");
    EXPECT_EQ(aes.OpenText(""), "");
    EXPECT_EQ(aes.OpenText(good + "A"), "hello");  // an odd last digit is ignored
    EXPECT_NO_FATAL_FAILURE(aes.OpenText("XYZ!"));
    EXPECT_NO_FATAL_FAILURE(aes.OpenText(std::string(1000, '\0')));
    EXPECT_NE(CAesText("other").OpenText(good), "hello");
    const std::string huge = aes.SealText(std::string(3 * 1024 * 1024, 'q'));
    EXPECT_EQ(aes.OpenText(huge).size(), 3u * 1024 * 1024);
}

}  // namespace
