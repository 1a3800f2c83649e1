// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/utf8.h"

namespace tesuko::utf8 {

std::size_t utf16Length(std::string_view text) {
    std::size_t units = 0;
    decode(text, [&](char32_t cp, std::string_view) { units += cp >= 0x10000 ? 2 : 1; });
    return units;
}

void appendValid(std::string& out, std::string_view text) {
    decode(text, [&](char32_t cp, std::string_view bytes) {
        if (cp == 0xFFFD && bytes != kReplacementCharacter) {
            out += kReplacementCharacter;
        } else {
            out += bytes;
        }
    });
}

std::string valid(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    appendValid(out, text);
    return out;
}

std::string terminalSafe(std::string_view text) {
    std::string out;
    decode(text, [&](char32_t cp, std::string_view bytes) {
        const bool control = cp < 0x20 || (cp >= 0x7F && cp <= 0x9F);
        out += control ? kReplacementCharacter : bytes;
    });
    return out;
}

}  // namespace tesuko::utf8
