#include "ranking/seconds_text.h"

#include <fast_float/fast_float.h>

#include <cstddef>
#include <cstdint>
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
    std::uint64_t mantissa = 0;
    const char* start = p;
    while (p != end && isDigit(*p) && p - start < kMaxWholeDigits) {
        mantissa = mantissa * 10 + std::uint64_t(*p++ - '0');
    }
    if (p == start || end - p < 7 || *p != '.') {
        return std::nullopt;
    }
    for (const char* fractionEnd = ++p + 6; p != fractionEnd; ++p) {
        if (!isDigit(*p)) {
            return std::nullopt;
        }
        mantissa = mantissa * 10 + std::uint64_t(*p - '0');
    }
    if (p != end && (isDigit(*p) || *p == 'e' || *p == 'E')) {
        return std::nullopt;
    }
    return double(mantissa) / 1e6;
}

}  // namespace

double secondsFromText(std::string_view text) {
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
