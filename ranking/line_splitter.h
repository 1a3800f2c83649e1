// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "ranking/record_fields.h"

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
// one memchr per separator everywhere, and on SSE2 a single pass that finds
// every "," and "\n" of 64 bytes at once. Both give the same calls.
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

#if defined(__SSE2__)

namespace detail {

// Bit i set where block[i] is "," or "\n".
inline std::uint64_t separatorMask(const char* block) {
    const __m128i comma = _mm_set1_epi8(',');
    const __m128i lineFeed = _mm_set1_epi8('\n');
    std::uint64_t mask = 0;
    for (int part = 0; part < 4; ++part) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * part));
        __m128i hits = _mm_or_si128(_mm_cmpeq_epi8(bytes, comma), _mm_cmpeq_epi8(bytes, lineFeed));
        mask |= std::uint64_t(std::uint32_t(_mm_movemask_epi8(hits))) << (16 * part);
    }
    return mask;
}

}  // namespace detail

template <typename OnRecord, typename OnShortRow>
std::size_t splitCompleteLines(std::string_view bytes, OnRecord&& onRecord,
                               OnShortRow&& onShortRow) {
    const char* data = bytes.data();
    const std::size_t size = bytes.size();
    std::size_t lineStart = 0;
    const char* commas[6];
    std::size_t commaCount = 0;
    char last[64];
    for (std::size_t blockStart = 0; blockStart < size; blockStart += 64) {
        const char* block = data + blockStart;
        if (size - blockStart < 64) {
            // The last, short block: classified from a padded copy, never read past the end.
            std::memset(last, 0, sizeof last);
            std::memcpy(last, block, size - blockStart);
            block = last;
        }
        for (std::uint64_t mask = detail::separatorMask(block); mask != 0; mask &= mask - 1) {
            std::size_t at = blockStart + std::size_t(std::countr_zero(mask));
            if (data[at] == ',') {
                if (commaCount < 6) {
                    commas[commaCount] = data + at;
                }
                ++commaCount;
                continue;
            }
            if (commaCount >= 5) {
                const char* secondsEnd = commaCount >= 6 ? commas[5] : data + at;
                const char* line = data + lineStart;
                onRecord(RecordFields{{line, std::size_t(commas[0] - line)},
                                      {commas[0] + 1, std::size_t(commas[1] - commas[0] - 1)},
                                      {commas[1] + 1, std::size_t(commas[2] - commas[1] - 1)},
                                      {commas[4] + 1, std::size_t(secondsEnd - commas[4] - 1)}});
            } else {
                onShortRow();
            }
            commaCount = 0;
            lineStart = at + 1;
        }
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
