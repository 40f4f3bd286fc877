#include "foundation/aes.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr unsigned char kSbox[256] = {
    0x63, 0x7c, 0x77, 0x7b, 0xf2, 0x6b, 0x6f, 0xc5, 0x30, 0x01, 0x67, 0x2b, 0xfe, 0xd7, 0xab, 0x76,
    0xca, 0x82, 0xc9, 0x7d, 0xfa, 0x59, 0x47, 0xf0, 0xad, 0xd4, 0xa2, 0xaf, 0x9c, 0xa4, 0x72, 0xc0,
    0xb7, 0xfd, 0x93, 0x26, 0x36, 0x3f, 0xf7, 0xcc, 0x34, 0xa5, 0xe5, 0xf1, 0x71, 0xd8, 0x31, 0x15,
    0x04, 0xc7, 0x23, 0xc3, 0x18, 0x96, 0x05, 0x9a, 0x07, 0x12, 0x80, 0xe2, 0xeb, 0x27, 0xb2, 0x75,
    0x09, 0x83, 0x2c, 0x1a, 0x1b, 0x6e, 0x5a, 0xa0, 0x52, 0x3b, 0xd6, 0xb3, 0x29, 0xe3, 0x2f, 0x84,
    0x53, 0xd1, 0x00, 0xed, 0x20, 0xfc, 0xb1, 0x5b, 0x6a, 0xcb, 0xbe, 0x39, 0x4a, 0x4c, 0x58, 0xcf,
    0xd0, 0xef, 0xaa, 0xfb, 0x43, 0x4d, 0x33, 0x85, 0x45, 0xf9, 0x02, 0x7f, 0x50, 0x3c, 0x9f, 0xa8,
    0x51, 0xa3, 0x40, 0x8f, 0x92, 0x9d, 0x38, 0xf5, 0xbc, 0xb6, 0xda, 0x21, 0x10, 0xff, 0xf3, 0xd2,
    0xcd, 0x0c, 0x13, 0xec, 0x5f, 0x97, 0x44, 0x17, 0xc4, 0xa7, 0x7e, 0x3d, 0x64, 0x5d, 0x19, 0x73,
    0x60, 0x81, 0x4f, 0xdc, 0x22, 0x2a, 0x90, 0x88, 0x46, 0xee, 0xb8, 0x14, 0xde, 0x5e, 0x0b, 0xdb,
    0xe0, 0x32, 0x3a, 0x0a, 0x49, 0x06, 0x24, 0x5c, 0xc2, 0xd3, 0xac, 0x62, 0x91, 0x95, 0xe4, 0x79,
    0xe7, 0xc8, 0x37, 0x6d, 0x8d, 0xd5, 0x4e, 0xa9, 0x6c, 0x56, 0xf4, 0xea, 0x65, 0x7a, 0xae, 0x08,
    0xba, 0x78, 0x25, 0x2e, 0x1c, 0xa6, 0xb4, 0xc6, 0xe8, 0xdd, 0x74, 0x1f, 0x4b, 0xbd, 0x8b, 0x8a,
    0x70, 0x3e, 0xb5, 0x66, 0x48, 0x03, 0xf6, 0x0e, 0x61, 0x35, 0x57, 0xb9, 0x86, 0xc1, 0x1d, 0x9e,
    0xe1, 0xf8, 0x98, 0x11, 0x69, 0xd9, 0x8e, 0x94, 0x9b, 0x1e, 0x87, 0xe9, 0xce, 0x55, 0x28, 0xdf,
    0x8c, 0xa1, 0x89, 0x0d, 0xbf, 0xe6, 0x42, 0x68, 0x41, 0x99, 0x2d, 0x0f, 0xb0, 0x54, 0xbb, 0x16};

constexpr unsigned char kRoundConstants[10] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80, 0x1b, 0x36};

unsigned char Times2(unsigned char x) { return static_cast<unsigned char>((x << 1) ^ ((x & 0x80) ? 0x1b : 0)); }

unsigned char Multiply(unsigned char x, unsigned char y) {
    unsigned char product = 0;
    while (y) {
        if (y & 1) product ^= x;
        x = Times2(x);
        y >>= 1;
    }
    return product;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

CAES::CAES(const unsigned char key[16]) {
    std::memcpy(sbox_, kSbox, sizeof sbox_);
    for (int i = 0; i < 256; ++i) inverseSbox_[sbox_[i]] = static_cast<unsigned char>(i);

    // Round key words w[0..43]; word k of round r is column k of that round's matrix.
    unsigned char words[44][4];
    for (int k = 0; k < 4; ++k)
        for (int r = 0; r < 4; ++r) words[k][r] = key[4 * k + r];
    for (int k = 4; k < 44; ++k) {
        unsigned char temp[4] = {words[k - 1][0], words[k - 1][1], words[k - 1][2], words[k - 1][3]};
        if (k % 4 == 0) {
            const unsigned char first = temp[0];
            temp[0] = static_cast<unsigned char>(sbox_[temp[1]] ^ kRoundConstants[k / 4 - 1]);
            temp[1] = sbox_[temp[2]];
            temp[2] = sbox_[temp[3]];
            temp[3] = sbox_[first];
        }
        for (int r = 0; r < 4; ++r) words[k][r] = static_cast<unsigned char>(words[k - 4][r] ^ temp[r]);
    }
    for (int round = 0; round < 11; ++round)
        for (int k = 0; k < 4; ++k)
            for (int r = 0; r < 4; ++r) roundKeys_[round][r][k] = words[4 * round + k][r];
}

void CAES::EncryptBlock(unsigned char block[16]) const {
    unsigned char s[4][4];
    for (int i = 0; i < 16; ++i) s[i % 4][i / 4] = block[i];
    auto addRoundKey = [&](int round) {
        for (int r = 0; r < 4; ++r)
            for (int k = 0; k < 4; ++k) s[r][k] ^= roundKeys_[round][r][k];
    };
    addRoundKey(0);
    for (int round = 1; round <= 10; ++round) {
        for (int r = 0; r < 4; ++r)
            for (int k = 0; k < 4; ++k) s[r][k] = sbox_[s[r][k]];
        for (int r = 1; r < 4; ++r) {
            unsigned char row[4];
            for (int k = 0; k < 4; ++k) row[k] = s[r][(k + r) % 4];
            std::memcpy(s[r], row, 4);
        }
        if (round != 10) {
            for (int k = 0; k < 4; ++k) {
                const unsigned char a0 = s[0][k], a1 = s[1][k], a2 = s[2][k], a3 = s[3][k];
                s[0][k] = static_cast<unsigned char>(Times2(a0) ^ Times2(a1) ^ a1 ^ a2 ^ a3);
                s[1][k] = static_cast<unsigned char>(a0 ^ Times2(a1) ^ Times2(a2) ^ a2 ^ a3);
                s[2][k] = static_cast<unsigned char>(a0 ^ a1 ^ Times2(a2) ^ Times2(a3) ^ a3);
                s[3][k] = static_cast<unsigned char>(Times2(a0) ^ a0 ^ a1 ^ a2 ^ Times2(a3));
            }
        }
        addRoundKey(round);
    }
    for (int i = 0; i < 16; ++i) block[i] = s[i % 4][i / 4];
}

void CAES::DecryptBlock(unsigned char block[16]) const {
    unsigned char s[4][4];
    for (int i = 0; i < 16; ++i) s[i % 4][i / 4] = block[i];
    auto addRoundKey = [&](int round) {
        for (int r = 0; r < 4; ++r)
            for (int k = 0; k < 4; ++k) s[r][k] ^= roundKeys_[round][r][k];
    };
    addRoundKey(10);
    for (int round = 9; round >= 0; --round) {
        for (int r = 1; r < 4; ++r) {
            unsigned char row[4];
            for (int k = 0; k < 4; ++k) row[(k + r) % 4] = s[r][k];
            std::memcpy(s[r], row, 4);
        }
        for (int r = 0; r < 4; ++r)
            for (int k = 0; k < 4; ++k) s[r][k] = inverseSbox_[s[r][k]];
        addRoundKey(round);
        if (round != 0) {
            for (int k = 0; k < 4; ++k) {
                const unsigned char a0 = s[0][k], a1 = s[1][k], a2 = s[2][k], a3 = s[3][k];
                s[0][k] = Multiply(a0, 14) ^ Multiply(a1, 11) ^ Multiply(a2, 13) ^ Multiply(a3, 9);
                s[1][k] = Multiply(a0, 9) ^ Multiply(a1, 14) ^ Multiply(a2, 11) ^ Multiply(a3, 13);
                s[2][k] = Multiply(a0, 13) ^ Multiply(a1, 9) ^ Multiply(a2, 14) ^ Multiply(a3, 11);
                s[3][k] = Multiply(a0, 11) ^ Multiply(a1, 13) ^ Multiply(a2, 9) ^ Multiply(a3, 14);
            }
        }
    }
    for (int i = 0; i < 16; ++i) block[i] = s[i % 4][i / 4];
}

void CAES::EncryptBlocks(unsigned char* buffer, std::size_t length) const {
    if (length == 0) length = std::strlen(reinterpret_cast<const char*>(buffer)) + 1;
    for (std::size_t offset = 0; offset < length; offset += 16) EncryptBlock(buffer + offset);
}

void CAES::DecryptBlocks(unsigned char* buffer, std::size_t length) const {
    for (std::size_t offset = 0; offset < length; offset += 16) DecryptBlock(buffer + offset);
}

CAesText::CAesText(const std::string& keyText) {
    unsigned char key[16] = {};
    std::memcpy(key, keyText.data(), keyText.size() < 16 ? keyText.size() : 16);
    cipher_ = std::make_unique<CAES>(key);
}

std::string CAesText::SealText(const std::string& plain) const {
    const std::size_t padded = plain.size() + 16 - plain.size() % 16;
    std::vector<unsigned char> buffer(padded, 0);
    std::copy(plain.begin(), plain.end(), buffer.begin());
    cipher_->EncryptBlocks(buffer.data(), padded);
    static const char kDigits[] = "0123456789ABCDEF";
    std::string sealed;
    sealed.reserve(2 * padded);
    for (unsigned char byte : buffer) {
        sealed += kDigits[byte >> 4];
        sealed += kDigits[byte & 0x0F];
    }
    return sealed;
}

std::string CAesText::OpenText(const std::string& sealed) const {
    const std::size_t digits = sealed.size();
    if (digits == 0) return std::string();
    // Room for the decoded bytes and zeros behind them, a multiple of 16, so that the
    // block loop never reads beyond the buffer and a zero byte always ends the text.
    const std::size_t bytes = digits / 2;
    const std::size_t work = (bytes / 16 + 2) * 16;
    std::vector<unsigned char> buffer;
    try {
        buffer.assign(work + 1, 0);
    } catch (const std::bad_alloc&) {
        return sealed;
    }
    for (std::size_t i = 0; i < bytes; ++i) {
        const int high = HexValue(sealed[2 * i]), low = HexValue(sealed[2 * i + 1]);
        buffer[i] = static_cast<unsigned char>((16 * high + low) & 0xFF);
    }
    cipher_->DecryptBlocks(buffer.data(), work);
    buffer[work] = 0;
    return std::string(reinterpret_cast<const char*>(buffer.data()));
}
