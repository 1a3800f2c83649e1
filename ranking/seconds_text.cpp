// SPDX-License-Identifier: GPL-3.0-or-later
#include "ranking/seconds_text.h"

#include <fast_float/fast_float.h>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

namespace tesuko {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The recorder writes "%f": digits, ".", six digits. Such a number is an
// integer of at most 15 digits over 10^6, both exact doubles, so one division
// rounds it just as strtod does, faster than the general parse.
std::optional<double> sixDecimals(const char* p, const char* end) {
    constexpr std::ptrdiff_t kMaxWholeDigits = 9;
    const char* limit = end - p > kMaxWholeDigits ? p + kMaxWholeDigits : end;
    std::uint64_t whole = 0;
    const char* q = p;
    for (unsigned digit; q != limit && (digit = unsigned(*q) - '0') < 10; ++q) {
        whole = whole * 10 + digit;
    }
    if (q == p || end - q < 7 || *q != '.') {
        return std::nullopt;
    }
    const auto* f = reinterpret_cast<const unsigned char*>(q + 1);
    unsigned d[6];
    bool digits = true;
    for (int i = 0; i < 6; ++i) {
        d[i] = unsigned(f[i]) - '0';
        digits &= d[i] < 10;
    }
    const char* after = q + 7;
    if (!digits || (after != end && (isDigit(*after) || *after == 'e' || *after == 'E'))) {
        return std::nullopt;
    }
    std::uint64_t fraction =
        (d[0] * 100 + d[1] * 10 + d[2]) * 1000ull + (d[3] * 100 + d[4] * 10 + d[5]);
    return double(whole * 1000000 + fraction) / 1e6;
}

// Eight ASCII digits in memory order, read as one word.
bool eightDigits(std::uint64_t word) {
    std::uint64_t outside = (word + 0x4646464646464646ull) | (word - 0x3030303030303030ull);
    return (outside & 0x8080808080808080ull) == 0;
}

std::uint64_t valueOfEightDigits(std::uint64_t word) {
    word -= 0x3030303030303030ull;
    word = word * 10 + (word >> 8);  // pairs of digits in every other byte
    constexpr std::uint64_t kPairs = 0x000000FF000000FFull;
    word = (((word & kPairs) * (100 + (1000000ull << 32))) +
            (((word >> 16) & kPairs) * (1 + (10000ull << 32)))) >>
           32;
    return word & 0xFFFFFFFFull;
}

std::uint64_t load(const char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// The whole field exactly as the recorder writes it, with at most eight
// digits before the point: two words read whole, no loop over digits (the
// number of digits changes from record to record, so a loop's end would be
// mispredicted).
std::optional<double> asWritten(std::string_view text) {
    const std::size_t size = text.size();
    if constexpr (std::endian::native != std::endian::little) {
        return std::nullopt;
    }
    if (size < 8 || size > 15 || text[size - 7] != '.') {
        return std::nullopt;
    }
    const unsigned fill = unsigned(8 * (15 - size));  // bytes before the digits, as '0's
    std::uint64_t whole = load(text.data()) << fill;
    if (fill != 0) {
        whole |= 0x3030303030303030ull >> (64 - fill);
    }
    // The last digit before the point, the point, six digits: the first two as '0's.
    std::uint64_t fraction = (load(text.data() + size - 8) & ~0xFFFFull) | 0x3030;
    if (!eightDigits(whole) || !eightDigits(fraction)) {
        return std::nullopt;
    }
    return double(valueOfEightDigits(whole) * 1000000 + valueOfEightDigits(fraction)) / 1e6;
}

}  // namespace

double secondsFromText(std::string_view text) {
    if (auto fast = asWritten(text)) {
        return *fast;
    }
    const char* p = text.data();
    const char* end = p + text.size();
    while (p != end && isSpace(*p)) {
        ++p;
    }
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    // fast_float would also take "inf", "nan" and a second sign: only a digit,
    // or a point followed by one, begins a number.
    bool beginsNumber = p != end && (isDigit(*p) || (*p == '.' && p + 1 != end && isDigit(p[1])));
    if (!beginsNumber) {
        return 0;
    }
    double magnitude = 0;
    if (auto fixed = sixDecimals(p, end)) {
        magnitude = *fixed;
    } else {
        fast_float::from_chars(p, end, magnitude);
    }
    return negative ? -magnitude : magnitude;
}

}  // namespace tesuko
