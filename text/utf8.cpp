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

}  // namespace tesuko::utf8
