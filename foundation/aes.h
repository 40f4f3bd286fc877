// AES-128 in ECB mode and the sealed-text format of the engine channel: the text,
// padded with 1 to 16 zero bytes, encrypted and written as upper-case hexadecimal.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class CAES {
public:
    explicit CAES(const unsigned char key[16]);
    virtual ~CAES() = default;

    // Encrypts in place, block by block at offsets 0, 16, ... below length. A length
    // of 0 takes the buffer as a zero-terminated text, terminator included. The
    // buffer must hold length rounded up to a multiple of 16 bytes.
    void EncryptBlocks(unsigned char* buffer, std::size_t length) const;
    void DecryptBlocks(unsigned char* buffer, std::size_t length) const;

private:
    void EncryptBlock(unsigned char block[16]) const;
    void DecryptBlock(unsigned char block[16]) const;

    unsigned char sbox_[256];
    unsigned char inverseSbox_[256];
    unsigned char roundKeys_[11][4][4];  // [round][row][column]
};

// Builds its cipher from at most the first 16 bytes of a key text (a shorter text is
// padded with zero bytes). One per request or answer; nothing is cached.
class CAesText {
public:
    explicit CAesText(const std::string& keyText);
    std::string SealText(const std::string& plain) const;
    // Never fails: a damaged or foreign text opens to whatever it decrypts to.
    std::string OpenText(const std::string& sealed) const;

private:
    std::unique_ptr<CAES> cipher_;
};
