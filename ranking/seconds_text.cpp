// SPDX-License-Identifier: GPL-3.0-or-later
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

}  // namespace

namespace detail {

double secondsFromOtherText(std::string_view text) {
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

}  // namespace detail

}  // namespace tesuko
