// SPDX-License-Identifier: GPL-3.0-or-later
// Implementation of tesuko::utf8::decode; included by utf8.h only.
#pragma once

namespace tesuko::utf8 {

namespace detail {

// Lowest and highest allowed second byte after a lead byte (Unicode table 3-7).
struct SecondByteRange {
    unsigned char low;
    unsigned char high;
};

inline SecondByteRange secondByteRange(unsigned char lead) {
    switch (lead) {
        case 0xE0: return {0xA0, 0xBF};
        case 0xED: return {0x80, 0x9F};
        case 0xF0: return {0x90, 0xBF};
        case 0xF4: return {0x80, 0x8F};
        default: return {0x80, 0xBF};
    }
}

inline int sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

}  // namespace detail

template <typename OnCodePoint>
void decode(std::string_view text, OnCodePoint onCodePoint) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        unsigned char lead = bytes[i];
        int length = detail::sequenceLength(lead);
        if (length == 1) {
            onCodePoint(char32_t(lead), text.substr(i, 1));
            ++i;
            continue;
        }
        char32_t cp = length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        std::size_t taken = 1;
        if (length > 0) {
            auto range = detail::secondByteRange(lead);
            while (taken < std::size_t(length) && i + taken < size) {
                unsigned char next = bytes[i + taken];
                unsigned char low = taken == 1 ? range.low : 0x80;
                unsigned char high = taken == 1 ? range.high : 0xBF;
                if (next < low || next > high) {
                    break;
                }
                cp = (cp << 6) | (next & 0x3F);
                ++taken;
            }
        }
        if (length > 0 && taken == std::size_t(length)) {
            onCodePoint(cp, text.substr(i, taken));
        } else {
            onCodePoint(char32_t(0xFFFD), text.substr(i, taken));
        }
        i += taken;
    }
}

}  // namespace tesuko::utf8
