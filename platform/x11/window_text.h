// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace tesuko {

// How a window's text property is encoded, as its type atom says.
enum class TextEncoding {
    Utf8,          // UTF8_STRING, and types this backend does not know
    Latin1,        // STRING
    CompoundText,  // COMPOUND_TEXT: ISO 2022 segments, possibly holding UTF-8 ones
};

// The text as UTF-8. Invalid UTF-8 passes through unchanged; the recorder
// replaces what it cannot write.
std::string textToUtf8(std::string_view bytes, TextEncoding encoding);

}  // namespace tesuko
