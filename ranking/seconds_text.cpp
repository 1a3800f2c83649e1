#include "ranking/seconds_text.h"

#include <fast_float/fast_float.h>

namespace tesuko {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
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
    fast_float::from_chars(p, end, magnitude);
    return negative ? -magnitude : magnitude;
}

}  // namespace tesuko
