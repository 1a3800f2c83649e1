// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/title_days_format.h"

#include <cstring>

#include "ranking/digest.h"

namespace tesuko {

namespace {

// The family names every version, so that a cache of another one is rebuilt
// without a warning.
constexpr std::string_view kFamily = "tesuko-titles-";
constexpr std::string_view kFormat = "tesuko-titles-2\n";
static_assert(kFormat.size() + sizeof(std::uint64_t) == kHeadPrefixBytes);

// FNV-1a over four interleaved runs of 64-bit words, then folded with the
// bytes left: four multiplies in flight rather than one, as a block of a
// long log runs to hundreds of kilobytes.
std::uint64_t checksum(std::string_view bytes) {
    constexpr std::uint64_t kPrime = 1099511628211ull;
    std::uint64_t lanes[4] = {1, 2, 3, 4};
    std::size_t at = 0;
    for (; at + sizeof lanes <= bytes.size(); at += sizeof lanes) {
        for (std::uint64_t& lane : lanes) {
            std::uint64_t word;
            std::memcpy(&word, bytes.data() + at + std::size_t(&lane - lanes) * 8, 8);
            lane = (lane ^ word) * kPrime;
        }
    }
    std::uint64_t sum = digest(bytes.substr(at));
    for (std::uint64_t lane : lanes) {
        sum = (sum ^ lane) * kPrime;
    }
    return sum;
}

std::string_view bytesOf(std::span<const PairSeconds> entries) {
    return {reinterpret_cast<const char*>(entries.data()), entries.size_bytes()};
}

// Fixed-size fields as the machine holds them: the cache never leaves it, and
// its bulk, the entries, goes out in one copy.
class Writer {
  public:
    template <typename T>
    void put(const T& value) {
        out.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    void text(std::string_view value) {
        put(std::uint64_t(value.size()));
        out += value;
    }
    std::string out;
};

class Reader {
  public:
    explicit Reader(std::string_view in) : in_(in) {}

    template <typename T>
    bool take(T& value) {
        if (in_.size() < sizeof value) {
            return false;
        }
        std::memcpy(&value, in_.data(), sizeof value);
        in_.remove_prefix(sizeof value);
        return true;
    }
    bool text(std::string& value) {
        std::uint64_t size = 0;
        if (!take(size) || size > in_.size()) {
            return false;
        }
        value.assign(in_.substr(0, size));
        in_.remove_prefix(size);
        return true;
    }
    bool atEnd() const { return in_.empty(); }

  private:
    std::string_view in_;
};

// Entries each of a pair that is there, in one pass over their bytes: no copy
// of megabytes is zeroed first, and none is checked again. The caller
// reserves room for all of them.
bool appendEntries(std::string_view bytes, std::size_t pairs, std::vector<PairSeconds>& into) {
    if (bytes.size() % sizeof(PairSeconds) != 0) {
        return false;
    }
    for (Reader in(bytes); !in.atEnd();) {
        PairSeconds entry;
        in.take(entry);
        if (entry.pair >= pairs) {
            return false;
        }
        into.push_back(entry);
    }
    return true;
}

void putPosition(Writer& out, const ReadPosition& at) {
    out.text(at.path);
    out.put(at.file);
    out.put(at.offset);
    out.put(at.lines);
    out.text(at.lastBytes);
    out.put(at.sample);
}

bool takePosition(Reader& in, ReadPosition& at) {
    return in.text(at.path) && in.take(at.file) && in.take(at.offset) && in.take(at.lines) &&
           in.text(at.lastBytes) && in.take(at.sample);
}

std::int32_t blockOf(std::int32_t day) {
    return day >= 0 ? day / kBlockDays : (day + 1) / kBlockDays - 1;
}

// The blocks of the entries, with each block's seconds per pair.
void splitIntoBlocks(const TitleDays& days, std::vector<TitleBlock>& blocks,
                     std::vector<PairSeconds>& totals) {
    std::vector<double> perPair(days.pairs().size());
    std::vector<char> seen(perPair.size());
    std::span<const PairSeconds> rest = days.entries();
    while (!rest.empty()) {
        const std::int32_t block = blockOf(rest.front().day);
        std::size_t count = 0;
        while (count < rest.size() && blockOf(rest[count].day) == block) {
            perPair[rest[count].pair] += rest[count].seconds;
            seen[rest[count].pair] = true;
            ++count;
        }
        const std::size_t summed = totals.size();
        for (std::uint32_t pair = 0; pair < perPair.size(); ++pair) {
            if (seen[pair]) {
                totals.push_back({block * kBlockDays, pair, perPair[pair]});
                perPair[pair] = 0;
                seen[pair] = false;
            }
        }
        blocks.push_back({block * kBlockDays, count, totals.size() - summed,
                          checksum(bytesOf(rest.first(count)))});
        rest = rest.subspan(count);
    }
}

bool takeBlocks(Reader& in, TitlesHead& head) {
    std::uint64_t count = 0;
    if (!in.take(count)) {
        return false;
    }
    std::uint64_t totals = 0;
    for (; count > 0; --count) {
        TitleBlock& block = head.blocks.emplace_back();
        if (!in.take(block.firstDay) || !in.take(block.entries) || !in.take(block.totals) ||
            !in.take(block.checksum)) {
            return false;
        }
        totals += block.totals;
    }
    std::string bytes;
    if (!in.text(bytes)) {
        return false;
    }
    head.totals.reserve(bytes.size() / sizeof(PairSeconds));
    return appendEntries(bytes, head.pairs.size(), head.totals) && head.totals.size() == totals;
}

}  // namespace

std::string encodeClassifiedTitles(const ClassifiedTitles& titles) {
    Writer out;
    out.out = kFormat;
    out.put(std::uint64_t(0));  // the head's size, once known
    putPosition(out, titles.days.position);
    out.text(titles.days.zone);
    out.put(titles.rulesDigest);
    out.put(std::uint64_t(titles.days.pairs().size()));
    for (const TitlePair& pair : titles.days.pairs()) {
        out.text(pair.application);
        out.text(pair.title);
    }
    out.put(std::uint64_t(titles.classes.size()));
    for (const Classification& found : titles.classes) {
        out.text(found.shownName);
        out.put(std::uint8_t(found.category.has_value()));
        out.text(found.category.value_or(""));
    }
    std::vector<TitleBlock> blocks;
    std::vector<PairSeconds> totals;
    splitIntoBlocks(titles.days, blocks, totals);
    out.put(std::uint64_t(blocks.size()));
    for (const TitleBlock& block : blocks) {
        out.put(block.firstDay);
        out.put(block.entries);
        out.put(block.totals);
        out.put(block.checksum);
    }
    out.text(bytesOf(totals));
    const std::uint64_t size = out.out.size() + sizeof(std::uint64_t);
    std::memcpy(out.out.data() + kFormat.size(), &size, sizeof size);
    out.put(checksum(out.out));
    out.out += bytesOf(titles.days.entries());
    return std::move(out.out);
}

std::optional<std::uint64_t> headBytes(std::string_view prefix) {
    std::uint64_t size = 0;
    if (prefix.size() < kHeadPrefixBytes || !prefix.starts_with(kFormat)) {
        return std::nullopt;
    }
    std::memcpy(&size, prefix.data() + kFormat.size(), sizeof size);
    if (size < kHeadPrefixBytes + sizeof(std::uint64_t)) {
        return std::nullopt;
    }
    return size;
}

std::optional<TitlesHead> decodeTitlesHead(std::string_view bytes) {
    std::optional<std::uint64_t> size = headBytes(bytes);
    std::uint64_t sum = 0;
    if (!size || bytes.size() != *size) {
        return std::nullopt;
    }
    std::memcpy(&sum, bytes.data() + bytes.size() - sizeof sum, sizeof sum);
    bytes.remove_suffix(sizeof sum);
    if (checksum(bytes) != sum) {
        return std::nullopt;
    }
    Reader in(bytes.substr(kHeadPrefixBytes));
    TitlesHead head;
    std::uint64_t count = 0;
    if (!takePosition(in, head.position) || !in.text(head.zone) || !in.take(head.rulesDigest) ||
        !in.take(count)) {
        return std::nullopt;
    }
    for (; count > 0; --count) {
        TitlePair& pair = head.pairs.emplace_back();
        if (!in.text(pair.application) || !in.text(pair.title)) {
            return std::nullopt;
        }
    }
    if (!in.take(count) || count > head.pairs.size()) {
        return std::nullopt;
    }
    for (; count > 0; --count) {
        Classification& found = head.classes.emplace_back();
        std::uint8_t inCategory = 0;
        std::string category;
        if (!in.text(found.shownName) || !in.take(inCategory) || !in.text(category)) {
            return std::nullopt;
        }
        found.category = inCategory != 0 ? std::optional(std::move(category)) : std::nullopt;
    }
    if (!takeBlocks(in, head) || !in.atEnd()) {
        return std::nullopt;
    }
    head.bodyStart = *size;
    return head;
}

bool decodeBlock(const TitlesHead& head, const TitleBlock& block, std::string_view bytes,
                 std::vector<PairSeconds>& into) {
    return bytes.size() / sizeof(PairSeconds) == block.entries &&
           checksum(bytes) == block.checksum && appendEntries(bytes, head.pairs.size(), into);
}

ClassifiedTitles titlesOf(TitlesHead&& head, std::vector<PairSeconds> entries) {
    ClassifiedTitles titles;
    titles.days.position = std::move(head.position);
    titles.days.zone = std::move(head.zone);
    titles.days.restore(std::move(head.pairs), std::move(entries));
    titles.rulesDigest = head.rulesDigest;
    titles.classes = std::move(head.classes);
    return titles;
}

std::optional<ClassifiedTitles> decodeClassifiedTitles(std::string_view bytes) {
    std::optional<std::uint64_t> size = headBytes(bytes);
    if (!size || *size > bytes.size()) {
        return std::nullopt;
    }
    std::optional<TitlesHead> head = decodeTitlesHead(bytes.substr(0, *size));
    if (!head) {
        return std::nullopt;
    }
    std::vector<PairSeconds> entries;
    entries.reserve(bytes.size() / sizeof(PairSeconds));
    std::string_view body = bytes.substr(*size);
    for (const TitleBlock& block : head->blocks) {
        const std::uint64_t length = std::min(block.entries, body.size()) * sizeof(PairSeconds);
        if (!decodeBlock(*head, block, body.substr(0, length), entries)) {
            return std::nullopt;
        }
        body.remove_prefix(length);
    }
    if (!body.empty()) {
        return std::nullopt;
    }
    return titlesOf(std::move(*head), std::move(entries));
}

bool isTitlesFamily(std::string_view bytes) {
    return bytes.starts_with(kFamily) && !bytes.starts_with(kFormat);
}

}  // namespace tesuko
