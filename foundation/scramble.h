// Constant texts kept out of plain view: decoded at the moment of use, never cached.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "scrambled_texts.h"

// Decodes one scrambled literal with the given multiplier, addend and initial key.
std::string Unscramble(std::string literal, std::size_t length, std::uint32_t multiplier, std::uint32_t addend,
                       std::uint32_t initialKey);

// Every stored text of the programs is scrambled with the one triple of the build.
inline std::string Unscrambled(const scrambled::Literal& literal) {
    return Unscramble(std::string(literal.bytes, literal.size), literal.size, scrambled::kMultiplier,
                      scrambled::kAddend, scrambled::kInitialKey);
}
