// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/file_url.h"

#include <optional>

namespace tesuko {

namespace {

std::optional<int> hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return std::nullopt;
}

// RFC 3986 pchar and "/": unreserved, sub-delims, ":" and "@".
bool fitsInUrlPath(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
        return true;
    }
    return std::string_view("-._~!$&'()*+,;=:@/").find(char(c)) != std::string_view::npos;
}

}  // namespace

std::string percentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            auto high = hexValue(text[i + 1]);
            auto low = hexValue(text[i + 2]);
            if (high && low) {
                out += char(*high * 16 + *low);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::string fileUrlFromPath(std::string_view absolutePath) {
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    std::string url = "file://";
    url.reserve(url.size() + absolutePath.size());
    for (char c : absolutePath) {
        auto byte = static_cast<unsigned char>(c);
        if (fitsInUrlPath(byte)) {
            url += c;
        } else {
            url += '%';
            url += kHexDigits[byte >> 4];
            url += kHexDigits[byte & 0xF];
        }
    }
    return url;
}

}  // namespace tesuko
