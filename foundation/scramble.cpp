#include "foundation/scramble.h"

// A literal is pairs (a, b) with a in 8F..A8 and b in D1..EA; each pair gives one
// encoded byte ((a - 143) * 26 + (b - 209)) mod 256. The encoded bytes are then
// XOR-ed with bits 8..15 of a running key that advances on the encoded byte.
std::string Unscramble(std::string literal, std::size_t length, std::uint32_t multiplier, std::uint32_t addend,
                       std::uint32_t initialKey) {
    if (length > literal.size()) length = literal.size();
    if (length < 2) return std::string();
    const std::size_t count = length / 2;
    std::string plain;
    plain.reserve(count);
    std::uint32_t key = initialKey;
    for (std::size_t k = 0; k < count; ++k) {
        const unsigned a = static_cast<unsigned char>(literal[2 * k]);
        const unsigned b = static_cast<unsigned char>(literal[2 * k + 1]);
        const unsigned char encoded = static_cast<unsigned char>(((a - 143u) * 26u + (b - 209u)) & 0xFFu);
        plain += static_cast<char>(((key >> 8) & 0xFFu) ^ encoded);
        key = (static_cast<std::uint32_t>(encoded) + key) * multiplier + addend;
    }
    return plain;
}
