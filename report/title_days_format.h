// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "categories/classifier.h"
#include "report/title_days.h"

namespace tesuko {

// A log's windows per day and what the rules made of each window, so that a
// report by the rules reads neither the log nor, while the rules file keeps
// its bytes, runs any pattern again.
struct ClassifiedTitles {
    TitleDays days;
    std::uint64_t rulesDigest = 0;        // of the rules file the classes follow
    std::vector<Classification> classes;  // of the first pairs; none kept when empty
};

// The stored form keeps the days in blocks of kBlockDays, with each block's
// seconds per pair up front: a report over years reads those sums, and the
// days of the one or two blocks its range cuts.
constexpr std::int32_t kBlockDays = 32;

struct TitleBlock {
    std::int32_t firstDay = 0;   // a multiple of kBlockDays
    std::uint64_t entries = 0;   // how many follow the block before, in the body
    std::uint64_t totals = 0;    // how many pair sums it has in the head
    std::uint64_t checksum = 0;  // of its entries' bytes
};

// What comes before the days: everything but the entries of each block.
struct TitlesHead {
    ReadPosition position;
    std::string zone;
    std::uint64_t rulesDigest = 0;
    std::vector<TitlePair> pairs;
    std::vector<Classification> classes;
    std::vector<TitleBlock> blocks;   // by day
    std::vector<PairSeconds> totals;  // by block, then pair; dated the block's first day
    std::uint64_t bodyStart = 0;      // where the first block's entries are in the file
};

// The head's titles with these entries (by day, then pair).
ClassifiedTitles titlesOf(TitlesHead&& head, std::vector<PairSeconds> entries);

std::string encodeClassifiedTitles(const ClassifiedTitles& titles);

// How many bytes the head takes from the start of the file, given its first
// kHeadPrefixBytes; nullopt when they are not of this version.
constexpr std::size_t kHeadPrefixBytes = 24;
std::optional<std::uint64_t> headBytes(std::string_view prefix);
// The head from the file's first headBytes() bytes; nullopt for bytes that are
// damaged or not consistent.
std::optional<TitlesHead> decodeTitlesHead(std::string_view bytes);
// A block's entries from its bytes; false when they are damaged.
bool decodeBlock(const TitlesHead& head, const TitleBlock& block, std::string_view bytes,
                 std::vector<PairSeconds>& into);

// The whole of the stored form; nullopt for bytes that are damaged, of
// another version or not consistent.
std::optional<ClassifiedTitles> decodeClassifiedTitles(std::string_view bytes);

// Whether a file of this family, of any version, starts so.
bool isTitlesFamily(std::string_view bytes);

}  // namespace tesuko
