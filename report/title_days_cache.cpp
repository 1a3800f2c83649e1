// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/title_days_cache.h"

#include <algorithm>

#include "ranking/cached_scanner.h"

namespace tesuko {

namespace {

// Ten years of 500 windows a day take 30 MB; this leaves room for far more.
constexpr std::uint64_t kLargest = std::uint64_t(256) << 20;
// About ten thousand records: a week or two of switches, read in milliseconds.
constexpr std::uint64_t kUnsavedBytes = std::uint64_t(1) << 20;

// The bytes of the blocks' entries, or any number past kLargest for more.
std::uint64_t bytesOf(std::span<const TitleBlock> blocks) {
    std::uint64_t bytes = 0;
    for (const TitleBlock& block : blocks) {
        bytes += std::min(block.entries, kLargest) * sizeof(PairSeconds);
        if (bytes > kLargest) {
            return kLargest + 1;
        }
    }
    return bytes;
}

// Whether the cache holds the start of the counted lines, classified by
// these rules.
bool stillApplies(const TitlesHead& head, const ScanState& counted, const LocalDays& localDays,
                  std::uint64_t rulesDigest) {
    return head.rulesDigest == rulesDigest && head.classes.size() == head.pairs.size() &&
           continuesTo(head.position, head.zone, counted, localDays);
}

}  // namespace

std::optional<std::string> TitleDaysCache::update(const ScanState& counted,
                                                  const LocalDays& localDays,
                                                  Classifier& classifier, std::uint64_t rulesDigest,
                                                  const DaysWanted& wanted,
                                                  ClassifiedTitles& titles) {
    std::optional<Stored> stored = open();
    // The lines the recorder added since are read on top of the cache each
    // time, until there are enough of them to be worth saving it again.
    const bool keptAsIs = stored && stillApplies(stored->head, counted, localDays, rulesDigest) &&
                          counted.position.offset - stored->head.position.offset <= kUnsavedBytes;
    std::optional<ClassifiedTitles> found;
    if (stored) {
        found = keptAsIs ? wantedOf(*stored, wanted) : wantedOf(*stored, {{INT32_MIN, INT32_MAX}});
    }
    titles = found ? std::move(*found) : ClassifiedTitles();
    if (titles.rulesDigest != rulesDigest ||
        !continuesTo(titles.days.position, titles.days.zone, counted, localDays)) {
        titles.classes.clear();  // the pairs are counted afresh
    }
    if (auto error = readTitleDays(fileSystem_, counted, localDays, titles.days)) {
        return error;
    }
    const std::size_t problems = classifier.rules().problems().size();
    for (std::size_t i = titles.classes.size(); i < titles.days.pairs().size(); ++i) {
        const TitlePair& pair = titles.days.pairs()[i];
        titles.classes.push_back(classifier.classify(pair.application, pair.title));
    }
    if (found && keptAsIs) {
        return std::nullopt;
    }
    titles.rulesDigest = rulesDigest;
    if (classifier.rules().problems().size() == problems) {
        save(titles);
    } else {
        // A pattern cut off by its time limit is tried, and reported, again.
        ClassifiedTitles unclassified{titles.days, rulesDigest, {}};
        save(unclassified);
    }
    return std::nullopt;
}

std::optional<TitleDaysCache::Stored> TitleDaysCache::open() {
    Opened<FileReader> opened = fileSystem_.openForReading(path_);
    if (!opened.file) {
        if (fileSystem_.exists(path_)) {
            warnOnce("Not using the windows cache " + path_ + ": " + faultText(opened.error) +
                     "; the activity log is read whole.");
        }
        return std::nullopt;
    }
    const std::uint64_t size = opened.file->identity().size;
    std::string bytes(std::min<std::uint64_t>(size, kHeadPrefixBytes), '\0');
    if (!readFully(*opened.file, 0, bytes)) {
        warnDamaged();
        return std::nullopt;
    }
    std::optional<std::uint64_t> headSize = headBytes(bytes);
    if (!headSize) {
        if (!isTitlesFamily(bytes)) {
            warnDamaged();
        }
        return std::nullopt;
    }
    std::optional<TitlesHead> head;
    if (*headSize <= std::min(size, kLargest)) {
        bytes.resize(*headSize);
        if (readFully(*opened.file, 0, bytes)) {
            head = decodeTitlesHead(bytes);
        }
    }
    if (!head || size != head->bodyStart + bytesOf(head->blocks) || size > kLargest) {
        warnDamaged();
        return std::nullopt;
    }
    // A log edited in place is read whole again.
    if (sampleOf(fileSystem_, head->position) != head->position.sample) {
        return std::nullopt;
    }
    return Stored{std::move(opened.file), std::move(*head)};
}

// The entries of blocks [first, end), read in one go.
std::optional<std::vector<PairSeconds>> TitleDaysCache::readBlocks(Stored& stored,
                                                                   std::size_t first,
                                                                   std::size_t end) {
    const std::span<const TitleBlock> all = stored.head.blocks;
    const std::span<const TitleBlock> blocks = all.subspan(first, end - first);
    std::string bytes(bytesOf(blocks), '\0');
    bool read = readFully(*stored.file, stored.head.bodyStart + bytesOf(all.first(first)), bytes);
    std::vector<PairSeconds> entries;
    entries.reserve(bytes.size() / sizeof(PairSeconds));
    std::string_view rest = bytes;
    for (const TitleBlock& block : blocks) {
        const std::size_t length = block.entries * sizeof(PairSeconds);
        read = read && decodeBlock(stored.head, block, rest.substr(0, length), entries);
        rest.remove_prefix(length);
    }
    if (!read) {
        warnDamaged();
        return std::nullopt;
    }
    return entries;
}

// The days wanted from an up-to-date cache: the entries of the blocks the
// range cuts, or wants each day of, and the sums of the others within it.
std::optional<ClassifiedTitles> TitleDaysCache::wantedOf(Stored& stored, const DaysWanted& wanted) {
    const DateRange& range = wanted.range;
    const std::vector<TitleBlock>& blocks = stored.head.blocks;
    auto meets = [&](const TitleBlock& block) {
        return block.firstDay + kBlockDays > range.first && block.firstDay < range.end;
    };
    auto needsDays = [&](const TitleBlock& block) {
        const bool inside =
            range.first <= block.firstDay && block.firstDay + kBlockDays <= range.end;
        return meets(block) && (wanted.eachDay || !inside);
    };
    std::vector<PairSeconds> entries;
    auto sums = stored.head.totals.begin();
    for (std::size_t at = 0; at < blocks.size();) {
        std::size_t next = at + 1;
        if (needsDays(blocks[at])) {
            while (next < blocks.size() && needsDays(blocks[next])) {
                ++next;
            }
            std::optional<std::vector<PairSeconds>> days = readBlocks(stored, at, next);
            if (!days) {
                return std::nullopt;
            }
            entries.insert(entries.end(), days->begin(), days->end());
        } else if (meets(blocks[at])) {
            entries.insert(entries.end(), sums, sums + std::ptrdiff_t(blocks[at].totals));
        }
        for (; at < next; ++at) {
            sums += std::ptrdiff_t(blocks[at].totals);
        }
    }
    return titlesOf(std::move(stored.head), std::move(entries));
}

void TitleDaysCache::save(ClassifiedTitles& titles) {
    // The sample the ranking keeps is of where its cache was saved, not of here.
    std::optional<std::uint64_t> sample = sampleOf(fileSystem_, titles.days.position);
    if (!sample) {
        return;
    }
    titles.days.position.sample = *sample;
    if (FileError error = fileSystem_.replaceFile(path_, encodeClassifiedTitles(titles),
                                                  FileSystem::Access::privateToUser)) {
        warnOnce("Could not save the windows cache " + path_ + ": " + faultText(*error) + ".");
    }
}

void TitleDaysCache::warnDamaged() {
    warnOnce("Not using the windows cache " + path_ +
             ": it is damaged; the activity log is read whole.");
}

void TitleDaysCache::warnOnce(const std::string& text) {
    if (!warned_) {
        warned_ = true;
        systemLog_.warning(text);
    }
}

std::string titleDaysCachePath(const std::string& totalsCachePath) {
    std::string path = totalsCachePath;
    const std::size_t name = path.rfind("/totals");
    return name == std::string::npos ? path + ".titles" : path.replace(name, 7, "/titles");
}

std::vector<std::string> removeLogCaches(FileSystem& fileSystem,
                                         const std::string& totalsCachePath) {
    std::vector<std::string> problems;
    for (const std::string& cache : {totalsCachePath, titleDaysCachePath(totalsCachePath)}) {
        if (FileError error = fileSystem.removeFile(cache)) {
            problems.push_back("Could not remove " + cache + ": " + faultText(*error));
        }
    }
    return problems;
}

}  // namespace tesuko
