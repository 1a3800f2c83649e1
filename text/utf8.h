// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tesuko::utf8 {

inline constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD

// Calls onCodePoint(char32_t cp, std::string_view bytes) for each character;
// each maximal ill-formed subsequence arrives as U+FFFD with its bytes.
template <typename OnCodePoint>
void decode(std::string_view text, OnCodePoint onCodePoint);

// Length in UTF-16 code units, counting each ill-formed sequence as one.
std::size_t utf16Length(std::string_view text);

// Appends text with each ill-formed sequence replaced by U+FFFD.
void appendValid(std::string& out, std::string_view text);
std::string valid(std::string_view text);

// The longest start of the text that has at most `bytes` bytes and ends
// where a character does; `text` is valid UTF-8.
std::string_view prefix(std::string_view text, std::size_t bytes);

// The text with C0, DEL and C1 controls (and ill-formed sequences) as U+FFFD:
// an escape sequence in a crafted log could otherwise retitle or reprogram
// the user's terminal.
std::string terminalSafe(std::string_view text);

}  // namespace tesuko::utf8

#include "text/utf8_decode.inl"
