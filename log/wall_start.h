// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "log/civil_day.h"
#include "text/digit_words.h"

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
        if (text.size() != kStartPattern.size()) {
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
        return readTime(p);
    }

  private:
    // Two words hold the time: bytes 18-25 ("HH時MM" and the first byte of
    // "分") and 25-32 ("分SS秒"). Their six digits gathered in one word
    // are checked and turned into numbers together, with no branch per digit.
    std::optional<WallStart> readTime(const char* p) const {
        using namespace detail;
        const std::uint64_t hourMinute = loadWord(p + 18);
        const std::uint64_t second = loadWord(p + 25);
        // Bytes 0-1 the hour, 2-3 the second, 5-6 the minute; '0' elsewhere.
        constexpr std::uint64_t kHourMinuteDigits = 0x00FFFF000000FFFFull;
        constexpr std::uint64_t kSecondDigits = 0x000000FFFF000000ull;
        const std::uint64_t digits = (hourMinute & kHourMinuteDigits) |
                                     ((second & kSecondDigits) >> 8) | 0x3000003000000000ull;
        const std::uint64_t wrong = ((hourMinute ^ patternWord(18)) & fixedMask(18)) |
                                    ((second ^ patternWord(25)) & fixedMask(25)) |
                                    nonDigitBytes(digits);
        if (wrong != 0 || p[16] != kStartPattern[16] || p[17] != kStartPattern[17]) {
            return std::nullopt;
        }
        // Tens times ten plus units, for every pair at once: the hour lands in
        // byte 0, the second in byte 2, the minute in byte 5.
        const std::uint64_t values = digits - 0x3030303030303030ull;
        const std::uint64_t pairs = (values * 10 + (values >> 8)) & 0x0000FF0000FF00FFull;
        // Bit 7 of a byte turns on past 23 hours, 59 minutes, 59 seconds.
        constexpr std::uint64_t kPastLimits = 0x0000440000440068ull;
        if (((pairs + kPastLimits) & 0x0000800000800080ull) != 0) {
            return std::nullopt;
        }
        const int hours = int(pairs & 0xFF);
        const int seconds = int((pairs >> 16) & 0xFF);
        const int minutes = int(pairs >> 40);
        return WallStart{day_, hours * 3600 + minutes * 60 + seconds};
    }

    // Nonzero unless the pattern's fixed bytes match and the others are digits.
    template <std::size_t From>
    static std::uint64_t wrongBytes(const char* p) {
        using namespace detail;
        constexpr std::uint64_t fixed = fixedMask(From);
        constexpr std::uint64_t pattern = patternWord(From);
        const std::uint64_t word = loadWord(p + From);
        // The fixed bytes read as '0' leave a word of digits.
        const std::uint64_t digits = (word & ~fixed) | (0x3030303030303030ull & fixed);
        return ((word ^ pattern) & fixed) | nonDigitBytes(digits);
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
