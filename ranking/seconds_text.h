// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <bit>
#include <cstdint>
#include <optional>
#include <string_view>

#include "text/digit_words.h"

namespace tesuko {

namespace detail {

inline std::uint64_t valueOfEightDigits(std::uint64_t word) {
    word -= 0x3030303030303030ull;
    word = word * 10 + (word >> 8);  // pairs of digits in every other byte
    constexpr std::uint64_t kPairs = 0x000000FF000000FFull;
    word = (((word & kPairs) * (100 + (1000000ull << 32))) +
            (((word >> 16) & kPairs) * (1 + (10000ull << 32)))) >>
           32;
    return word & 0xFFFFFFFFull;
}

// The whole field exactly as the recorder writes it, with at most eight
// digits before the point: two words read whole, no loop over digits (the
// number of digits changes from record to record, so a loop's end would be
// mispredicted).
inline std::optional<double> asWritten(std::string_view text) {
    const std::size_t size = text.size();
    if constexpr (std::endian::native != std::endian::little) {
        return std::nullopt;
    }
    if (size < 8 || size > 15 || text[size - 7] != '.') {
        return std::nullopt;
    }
    const unsigned fill = unsigned(8 * (15 - size));  // bytes before the digits, as '0's
    std::uint64_t whole = loadWord(text.data()) << fill;
    if (fill != 0) {
        whole |= 0x3030303030303030ull >> (64 - fill);
    }
    // The last digit before the point, the point, six digits: the first two as '0's.
    std::uint64_t fraction = (loadWord(text.data() + size - 8) & ~0xFFFFull) | 0x3030;
    if ((nonDigitBytes(whole) | nonDigitBytes(fraction)) != 0) {
        return std::nullopt;
    }
    return double(valueOfEightDigits(whole) * 1000000 + valueOfEightDigits(fraction)) / 1e6;
}

double secondsFromOtherText(std::string_view text);

}  // namespace detail

// The seconds field as a number: leading white space skipped, then the longest
// leading decimal number (optional sign, digits, optional "." and fraction,
// optional exponent), trailing text ignored; 0 when the text does not begin
// with one. The decimal point is "." in every locale, and the result is the
// double that strtod gives for the same number. "inf", "nan" and hex are not
// numbers here: the recorder never writes them. Inline, as the log scan reads
// one for every line.
inline double secondsFromText(std::string_view text) {
    if (auto fast = detail::asWritten(text)) {
        return *fast;
    }
    return detail::secondsFromOtherText(text);
}

}  // namespace tesuko
