// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace tesuko {

// FNV-1a over 64-bit words, then the bytes left: a serial multiply per word
// rather than per byte, so megabytes take a millisecond or two. Each step is
// a bijection of the state, so a changed word always changes the digest.
inline std::uint64_t digest(std::string_view bytes) {
    constexpr std::uint64_t kPrime = 1099511628211ull;
    std::uint64_t hash = 14695981039346656037ull;
    std::size_t at = 0;
    for (; at + 8 <= bytes.size(); at += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + at, 8);
        hash = (hash ^ word) * kPrime;
    }
    for (; at < bytes.size(); ++at) {
        hash = (hash ^ static_cast<unsigned char>(bytes[at])) * kPrime;
    }
    return hash ^ (hash >> 32);
}

}  // namespace tesuko
