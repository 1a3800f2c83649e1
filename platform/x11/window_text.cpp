// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11/window_text.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <memory>

namespace tesuko {

namespace {

// Inside compound text, UTF-8 runs between these escapes; ICU does not know them.
constexpr std::string_view kUtf8SegmentStart = "\x1b%G";
constexpr std::string_view kUtf8SegmentEnd = "\x1b%@";

struct ConverterClose {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterClose>;

std::string latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char byte : bytes) {
        if (byte < 0x80) {
            out += static_cast<char>(byte);
        } else {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return out;
}

void appendUtf16AsUtf8(std::string& out, const std::u16string& text) {
    if (text.empty()) {
        return;
    }
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = 0;
    u_strToUTF8WithSub(nullptr, 0, &length, text.data(), static_cast<int32_t>(text.size()), 0xFFFD,
                       nullptr, &status);
    std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(length));
    status = U_ZERO_ERROR;
    u_strToUTF8WithSub(out.data() + start, length, nullptr, text.data(),
                       static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
}

// Decodes one stretch of ISO 2022 text; the converter keeps its designations
// across stretches, as a UTF-8 segment does not change them.
void appendIso2022(std::string& out, UConverter* converter, std::string_view bytes, bool last) {
    std::u16string decoded;
    const char* source = bytes.data();
    const char* sourceEnd = bytes.data() + bytes.size();
    char16_t buffer[256];
    UErrorCode status = U_ZERO_ERROR;
    do {
        status = U_ZERO_ERROR;
        UChar* target = buffer;
        ucnv_toUnicode(converter, &target, buffer + std::size(buffer), &source, sourceEnd, nullptr,
                       last, &status);
        decoded.append(buffer, static_cast<std::size_t>(target - buffer));
    } while (status == U_BUFFER_OVERFLOW_ERROR);
    appendUtf16AsUtf8(out, decoded);
}

std::string compoundTextToUtf8(std::string_view bytes) {
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open("COMPOUND_TEXT", &status));
    if (U_FAILURE(status)) {
        return latin1ToUtf8(bytes);  // compound text without escapes is Latin-1
    }
    std::string out;
    std::size_t position = 0;
    while (true) {
        std::size_t start = bytes.find(kUtf8SegmentStart, position);
        bool last = start == std::string_view::npos;
        appendIso2022(out, converter.get(), bytes.substr(position, start - position), last);
        if (last) {
            return out;
        }
        std::size_t content = start + kUtf8SegmentStart.size();
        std::size_t end = bytes.find(kUtf8SegmentEnd, content);
        out.append(bytes.substr(content, end - content));
        if (end == std::string_view::npos) {
            return out;
        }
        position = end + kUtf8SegmentEnd.size();
    }
}

}  // namespace

std::string textToUtf8(std::string_view bytes, TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Latin1:
            return latin1ToUtf8(bytes);
        case TextEncoding::CompoundText:
            return compoundTextToUtf8(bytes);
        case TextEncoding::Utf8:
            break;
    }
    return std::string(bytes);
}

}  // namespace tesuko
