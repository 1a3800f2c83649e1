// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <optional>
#include <string_view>

#include "log/record_fields.h"
#include "text/digit_words.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tesuko {

// Splits the complete lines of bytes (those ended by "\n") by position, as
// recordFields does: onRecord(RecordFields) for each line of six or more
// fields, onShortRow() for each shorter one. Returns how many bytes the
// complete lines take; the unfinished rest is left alone.
//
// This is the ranking's hot loop, so two ways of finding the separators:
// one memchr per separator everywhere, and on SSE2 the commas of 4 KiB at a
// time as bits, found 64 bytes at once, from which a record's fields are
// read with no branch on how long they are. Both give the same calls.
template <typename OnRecord, typename OnShortRow>
std::size_t splitCompleteLinesWithMemchr(std::string_view bytes, OnRecord&& onRecord,
                                         OnShortRow&& onShortRow) {
    const char* start = bytes.data();
    const char* end = start + bytes.size();
    while (start != end) {
        auto* lineEnd =
            static_cast<const char*>(std::memchr(start, '\n', std::size_t(end - start)));
        if (lineEnd == nullptr) {
            break;
        }
        if (auto fields = recordFields({start, std::size_t(lineEnd - start)})) {
            onRecord(*fields);
        } else {
            onShortRow();
        }
        start = lineEnd + 1;
    }
    return std::size_t(start - bytes.data());
}

// Whether a "\r" that no "\n" follows is among bytes: a line end the
// recorder never writes (old Mac line ends), which splitLinesEndedByCr
// reads. A "\r" last in bytes counts, as what follows is not known yet.
inline bool containsLoneCr(std::string_view bytes) {
    const char* end = bytes.data() + bytes.size();
    for (const char* at = bytes.data();
         (at = static_cast<const char*>(std::memchr(at, '\r', std::size_t(end - at)))) != nullptr;
         ++at) {
        if (at + 1 == end || at[1] != '\n') {
            return true;
        }
    }
    return false;
}

// Splits as splitCompleteLines does, but a lone "\r" ends a line as well; a
// "\r\n" ends one as "\n" does, the "\r" left in the line. A "\r" last in
// bytes ends a line only when the file ends there (fileEnds): otherwise a
// "\n" may follow. Line by line: only a log of such line ends comes here.
template <typename OnRecord, typename OnShortRow>
std::size_t splitLinesEndedByCr(std::string_view bytes, bool fileEnds, OnRecord&& onRecord,
                                OnShortRow&& onShortRow) {
    std::size_t start = 0;
    for (std::size_t at; (at = bytes.find_first_of("\r\n", start)) != std::string_view::npos;) {
        std::size_t lineEnd = at;
        if (bytes[at] == '\r' && at + 1 == bytes.size() && !fileEnds) {
            break;
        }
        if (bytes[at] == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n') {
            ++lineEnd;
        }
        if (auto fields = recordFields(bytes.substr(start, lineEnd - start))) {
            onRecord(*fields);
        } else {
            onShortRow();
        }
        start = lineEnd + 1;
    }
    return start;
}

#if defined(__SSE2__)

namespace detail {

// The bytes split at a time: their offsets fit in 16 bits, and what is
// found in them stays in the first-level cache.
inline constexpr std::size_t kWindow = 4096;

// The "," of a window as a string of bits, and the offsets of its "\n".
// Bit 64 + i of the string stands for the byte at offset i: a zero word
// before the window and zero words after it let the bits around any offset
// be read without a check.
class WindowSeparators {
  public:
    // Finds the separators of bytes [window, window + size), size at most kWindow.
    void find(const char* window, std::size_t size);

    std::size_t lineCount() const { return lineCount_; }
    std::size_t lineEnd(std::size_t line) const { return lineEnds_[line]; }

    // The fields of the line [start, end) when it has exactly five commas,
    // as the recorder writes every record; nullopt for any other line. No
    // branch depends on how long the fields are, up to a title of 56 bytes.
    std::optional<RecordFields> fiveFieldRecord(const char* window, std::size_t start,
                                                std::size_t end) const;

  private:
    static constexpr std::uint64_t kTop = 1ull << 63;
    // The bits read at once: a word from the byte that holds the first,
    // less up to seven at its start.
    static constexpr std::size_t kReach = 56;

    // Bit i, for i below kReach: a comma at offset from + i. Higher bits are
    // commas too, but not every comma there has its bit.
    std::uint64_t commasFrom(std::size_t from) const {
        const std::size_t bit = from + 64;
        return loadWord(reinterpret_cast<const char*>(commaBits_) + bit / 8) >> (bit % 8);
    }
    // Bit 63 - i, for i below kReach: a comma at offset end - 1 - i; the
    // low bits are clear.
    std::uint64_t commasBefore(std::size_t end) const { return commasFrom(end - kReach) << 8; }

    // Up to a line end, and reading on past it as far as the title loop and a word.
    std::uint64_t commaBits_[kWindow / 64 + 4];
    std::uint16_t lineEnds_[kWindow + 1];
    std::size_t lineCount_ = 0;
};

inline void WindowSeparators::find(const char* window, std::size_t size) {
    const __m128i comma = _mm_set1_epi8(',');
    const __m128i lineFeed = _mm_set1_epi8('\n');
    // Counted in a local: the comma words' stores could otherwise be taken
    // to change the member.
    std::size_t lines = 0;
    std::uint64_t* commaWord = commaBits_;
    *commaWord++ = 0;
    char last[64];
    for (std::size_t at = 0; at < size; at += 64) {
        const char* block = window + at;
        if (size - at < 64) {
            // A short last block: classified from a padded copy, never read past the end.
            std::memset(last, 0, sizeof last);
            std::memcpy(last, block, size - at);
            block = last;
        }
        std::uint64_t commas = 0;
        std::uint64_t lineFeeds = 0;
        for (int part = 0; part < 4; ++part) {
            __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * part));
            commas |= std::uint64_t(std::uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, comma))))
                      << (16 * part);
            lineFeeds |=
                std::uint64_t(std::uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lineFeed))))
                << (16 * part);
        }
        *commaWord++ = commas;
        // A record is longer than a block, so the first line end is written
        // whether there is one or not: a branch on it would be mispredicted.
        lineEnds_[lines] = std::uint16_t(at + unsigned(std::countr_zero(lineFeeds | kTop)));
        lines += lineFeeds != 0;
        for (lineFeeds &= lineFeeds - 1; lineFeeds != 0; lineFeeds &= lineFeeds - 1) {
            lineEnds_[lines++] = std::uint16_t(at + unsigned(std::countr_zero(lineFeeds)));
        }
    }
    std::fill(commaWord, std::end(commaBits_), 0);
    lineCount_ = lines;
}

inline std::optional<RecordFields> WindowSeparators::fiveFieldRecord(const char* window,
                                                                     std::size_t start,
                                                                     std::size_t end) const {
    // The first two commas, among the line's first 56 bytes.
    const std::uint64_t first = commasFrom(start);
    const std::uint64_t second = first & (first - 1);
    const std::size_t comma0 = start + unsigned(std::countr_zero(first | kTop));
    const std::size_t comma1 = start + unsigned(std::countr_zero(second | kTop));
    // The third: the first comma after the title, however long it is.
    std::size_t from = comma1 + 1;
    std::uint64_t title = commasFrom(from);
    while (title == 0 && from < end) {
        from += kReach;
        title = commasFrom(from);
    }
    const std::size_t comma2 = from + unsigned(std::countr_zero(title | kTop));
    // The last three, among the line's last 56 bytes: the three numbers'
    // commas. Bit 8 is set so that no word is zero. It stands for a byte
    // that may hold a real comma, comma2 even, so a third from the end only
    // counts when three real commas were there to find.
    constexpr std::uint64_t kMadeUp = 1u << 8;
    const std::uint64_t lastCommas = commasBefore(end);
    std::uint64_t last = lastCommas | kMadeUp;
    const std::size_t comma4 = end - 1 - unsigned(std::countl_zero(last));
    last = (last & ~(kTop >> std::countl_zero(last))) | kMadeUp;
    last = (last & ~(kTop >> std::countl_zero(last))) | kMadeUp;
    const std::size_t thirdFromLast = end - 1 - unsigned(std::countl_zero(last));
    // The third comma and the third from the end are one: five in all.
    // Three real commas: two lowest bits cleared, some are left.
    const std::uint64_t butOne = lastCommas & (lastCommas - 1);
    if (second == 0 || comma2 != thirdFromLast || (butOne & (butOne - 1)) == 0) {
        return std::nullopt;
    }
    return RecordFields{{window + start, comma0 - start},
                        {window + comma0 + 1, comma1 - comma0 - 1},
                        {window + comma1 + 1, comma2 - comma1 - 1},
                        {window + comma4 + 1, end - comma4 - 1}};
}

}  // namespace detail

template <typename OnRecord, typename OnShortRow>
std::size_t splitCompleteLines(std::string_view bytes, OnRecord&& onRecord,
                               OnShortRow&& onShortRow) {
    const char* data = bytes.data();
    std::size_t lineStart = 0;
    detail::WindowSeparators found;
    while (lineStart < bytes.size()) {
        // Each window begins at a line, so nothing is carried from the last.
        const char* window = data + lineStart;
        const std::size_t size = std::min(detail::kWindow, bytes.size() - lineStart);
        found.find(window, size);
        std::size_t lines = found.lineCount();
        std::size_t longLineEnd = 0;
        if (lines == 0) {
            // No line ends in the window: the rest is one unfinished line, or
            // a line longer than a window, whose end is found on its own.
            std::string_view rest = bytes.substr(lineStart + size);
            auto* lineEnd =
                size < detail::kWindow
                    ? nullptr
                    : static_cast<const char*>(std::memchr(rest.data(), '\n', rest.size()));
            if (lineEnd == nullptr) {
                break;
            }
            longLineEnd = std::size_t(lineEnd - window);
            lines = 1;
        }
        std::size_t start = 0;
        for (std::size_t line = 0; line < lines; ++line) {
            const std::size_t end = longLineEnd != 0 ? longLineEnd : found.lineEnd(line);
            auto fields =
                longLineEnd != 0 ? std::nullopt : found.fiveFieldRecord(window, start, end);
            if (!fields) {
                fields = recordFields({window + start, end - start});
            }
            // The callbacks are called in one place each, so that they are put in line.
            if (fields) {
                onRecord(*fields);
            } else {
                onShortRow();
            }
            start = end + 1;
        }
        lineStart += start;
    }
    return lineStart;
}

#else

template <typename OnRecord, typename OnShortRow>
std::size_t splitCompleteLines(std::string_view bytes, OnRecord&& onRecord,
                               OnShortRow&& onShortRow) {
    return splitCompleteLinesWithMemchr(bytes, onRecord, onShortRow);
}

#endif

}  // namespace tesuko
