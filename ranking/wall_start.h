// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

#include "ranking/civil_day.h"

namespace tesuko {

// A record's start as its log line gives it: a local calendar day and the
// seconds on the wall clock since that day's midnight.
struct WallStart {
    std::int32_t day = 0;     // see dayNumber
    std::int32_t second = 0;  // 0-86399

    bool operator==(const WallStart&) const = default;
};

namespace detail {

// "0000年00月00日 00時00分00秒", the only form the recorder writes: 33 bytes.
inline constexpr std::string_view kStartPattern =
    "0000\xE5\xB9\xB4"
    "00\xE6\x9C\x88"
    "00\xE6\x97\xA5 00\xE6\x99\x82"
    "00\xE5\x88\x86"
    "00\xE7\xA7\x92";

inline std::uint64_t loadWord(const char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// Per 8-byte word of the pattern: 0xFF on each fixed byte.
constexpr std::uint64_t fixedMask(std::size_t from) {
    std::uint64_t mask = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        if (kStartPattern[from + i] != '0') {
            mask |= std::uint64_t(0xFF) << (8 * i);
        }
    }
    return mask;
}

// The pattern's 8 bytes from `from` as a little-endian word.
constexpr std::uint64_t patternWord(std::size_t from) {
    std::uint64_t word = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        word |= std::uint64_t(static_cast<unsigned char>(kStartPattern[from + i])) << (8 * i);
    }
    return word;
}

inline int twoDigits(const char* at) {
    return (at[0] - '0') * 10 + (at[1] - '0');
}

}  // namespace detail

// The start field parsed by position alone, a word at a time: this runs for
// every line of the log. Nullopt for anything but a real date and time in the
// recorder's form. The date is remembered, as a run of records shares it: then
// only the time is read.
class WallStartReader {
  public:
    std::optional<WallStart> read(std::string_view text) {
        using namespace detail;
        static_assert(kStartPattern.size() == 33);
        if (text.size() != kStartPattern.size() || std::endian::native != std::endian::little) {
            return std::nullopt;
        }
        const char* p = text.data();
        const std::uint64_t dateWords[2] = {loadWord(p), loadWord(p + 8)};
        if (dateWords[0] != lastDate_[0] || dateWords[1] != lastDate_[1]) {
            if (!readDate(p)) {
                return std::nullopt;
            }
            lastDate_[0] = dateWords[0];
            lastDate_[1] = dateWords[1];
        }
        // The time's six digits sit at different places of the two words
        // that hold it: one word of digits to check and read.
        const std::uint64_t low = loadWord(p + 16);
        const std::uint64_t high = loadWord(p + 24);
        constexpr std::uint64_t kLowDigits = 0xFF000000FFFF0000ull;  // bytes 18, 19, 23
        constexpr std::uint64_t kHighDigits = 0xFFFF000000FFull;     // bytes 24, 28, 29
        constexpr std::uint64_t kLowFixed = fixedMask(16);
        constexpr std::uint64_t kHighFixed = fixedMask(24);
        constexpr std::uint64_t kLowPattern = patternWord(16);
        constexpr std::uint64_t kHighPattern = patternWord(24);
        const std::uint64_t digits = (low & kLowDigits) | (high & kHighDigits) |
                                     (0x3030303030303030ull & ~(kLowDigits | kHighDigits));
        const std::uint64_t outside =
            (digits + 0x4646464646464646ull) | (digits - 0x3030303030303030ull);
        const std::uint64_t wrong = ((low ^ kLowPattern) & kLowFixed) |
                                    ((high ^ kHighPattern) & kHighFixed) |
                                    (outside & 0x8080808080808080ull);
        if (wrong != 0 || p[32] != kStartPattern[32]) {
            return std::nullopt;
        }
        const std::uint64_t values = digits - 0x3030303030303030ull;
        auto digit = [values](int byte) { return int((values >> (8 * byte)) & 0xF); };
        const int hour = digit(2) * 10 + digit(3);
        const int minute = digit(7) * 10 + digit(0);
        const int second = digit(4) * 10 + digit(5);
        if (hour > 23 || minute > 59 || second > 59) {
            return std::nullopt;
        }
        return WallStart{day_, hour * 3600 + minute * 60 + second};
    }

  private:
    // Nonzero unless the pattern's fixed bytes match and the others are digits.
    template <std::size_t From>
    static std::uint64_t wrongBytes(const char* p) {
        using namespace detail;
        constexpr std::uint64_t fixed = fixedMask(From);
        constexpr std::uint64_t pattern = patternWord(From);
        const std::uint64_t word = loadWord(p + From);
        // The fixed bytes read as '0' leave a word of digits.
        const std::uint64_t digits = (word & ~fixed) | (0x3030303030303030ull & fixed);
        const std::uint64_t outside =
            (digits + 0x4646464646464646ull) | (digits - 0x3030303030303030ull);
        return ((word ^ pattern) & fixed) | (outside & 0x8080808080808080ull);
    }

    bool readDate(const char* p) {
        using namespace detail;
        if ((wrongBytes<0>(p) | wrongBytes<8>(p)) != 0) {
            return false;
        }
        const int year = twoDigits(p) * 100 + twoDigits(p + 2);
        const int month = twoDigits(p + 7);
        const int day = twoDigits(p + 12);
        if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month)) {
            return false;
        }
        day_ = dayNumber(year, month, day);
        return true;
    }

    // The first 16 bytes of the last date read whole (never those of a
    // start field: it begins with a digit), and its day.
    std::uint64_t lastDate_[2] = {~0ull, ~0ull};
    std::int32_t day_ = 0;
};

inline std::optional<WallStart> wallStartFromText(std::string_view text) {
    return WallStartReader().read(text);
}

}  // namespace tesuko
