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

std::string_view prefix(std::string_view text, std::size_t bytes) {
    if (text.size() <= bytes) {
        return text;
    }
    // Back over the continuation bytes (10xxxxxx) of the character cut in two.
    while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80) {
        --bytes;
    }
    return text.substr(0, bytes);
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
