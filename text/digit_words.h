// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace tesuko {

// Eight bytes of text as one little-endian word, on any host: the scan checks
// and reads digits a word at a time rather than a byte at a time.
inline std::uint64_t loadWord(const char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    if constexpr (std::endian::native == std::endian::big) {
        word = __builtin_bswap64(word);
    }
    return word;
}

// Bit 7 set in each byte of the word that is no ASCII digit.
inline std::uint64_t nonDigitBytes(std::uint64_t word) {
    return ((word + 0x4646464646464646ull) | (word - 0x3030303030303030ull)) &
           0x8080808080808080ull;
}

}  // namespace tesuko
