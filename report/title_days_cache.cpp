// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/title_days_cache.h"

#include <cstring>

#include "ranking/cached_scanner.h"
#include "ranking/digest.h"

namespace tesuko {

namespace {

// The family names every version, so that a cache of another one is rebuilt
// without a warning.
constexpr std::string_view kFamily = "tesuko-titles-";
constexpr std::string_view kFormat = "tesuko-titles-1\n";
// Ten years of 500 windows a day take 30 MB; this leaves room for far more.
constexpr std::size_t kLargest = std::size_t(256) << 20;

// FNV-1a over four interleaved runs of 64-bit words, then folded with the
// bytes left: four multiplies in flight rather than one, as the table of a
// long log runs to tens of megabytes.
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
    std::string out{kFormat};
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
    // The entries, each of a pair that is there, in one pass: no copy of
    // tens of megabytes is zeroed first, and none is checked again.
    bool entries(std::vector<PairSeconds>& values, std::size_t pairs) {
        std::uint64_t count = 0;
        if (!take(count) || count > in_.size() / sizeof(PairSeconds)) {
            return false;
        }
        values.reserve(count);
        for (PairSeconds entry; count > 0 && take(entry) && entry.pair < pairs; --count) {
            values.push_back(entry);
        }
        return count == 0;
    }
    bool atEnd() const { return in_.empty(); }

  private:
    std::string_view in_;
};

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

}  // namespace

std::string encodeClassifiedTitles(const ClassifiedTitles& titles) {
    Writer out;
    putPosition(out, titles.days.position);
    out.text(titles.days.zone);
    out.put(std::uint64_t(titles.days.pairs().size()));
    for (const TitlePair& pair : titles.days.pairs()) {
        out.text(pair.application);
        out.text(pair.title);
    }
    out.put(std::uint64_t(titles.days.entries().size()));
    out.out.append(reinterpret_cast<const char*>(titles.days.entries().data()),
                   titles.days.entries().size() * sizeof(PairSeconds));
    out.put(titles.rulesDigest);
    out.put(std::uint64_t(titles.classes.size()));
    for (const Classification& found : titles.classes) {
        out.text(found.shownName);
        out.put(std::uint8_t(found.category.has_value()));
        out.text(found.category.value_or(""));
    }
    out.put(checksum(out.out));
    return std::move(out.out);
}

std::optional<ClassifiedTitles> decodeClassifiedTitles(std::string_view bytes) {
    std::uint64_t sum = 0;
    if (!bytes.starts_with(kFormat) || bytes.size() < kFormat.size() + sizeof sum) {
        return std::nullopt;
    }
    std::memcpy(&sum, bytes.data() + bytes.size() - sizeof sum, sizeof sum);
    bytes.remove_suffix(sizeof sum);
    if (checksum(bytes) != sum) {
        return std::nullopt;
    }
    Reader in(bytes.substr(kFormat.size()));
    ClassifiedTitles titles;
    std::uint64_t count = 0;
    if (!takePosition(in, titles.days.position) || !in.text(titles.days.zone) || !in.take(count)) {
        return std::nullopt;
    }
    std::vector<TitlePair> pairs;
    for (; count > 0; --count) {
        TitlePair& pair = pairs.emplace_back();
        if (!in.text(pair.application) || !in.text(pair.title)) {
            return std::nullopt;
        }
    }
    std::vector<PairSeconds> entries;
    if (!in.entries(entries, pairs.size()) || !in.take(titles.rulesDigest) || !in.take(count) ||
        count > pairs.size()) {
        return std::nullopt;
    }
    for (; count > 0; --count) {
        Classification& found = titles.classes.emplace_back();
        std::uint8_t inCategory = 0;
        std::string category;
        if (!in.text(found.shownName) || !in.take(inCategory) || !in.text(category)) {
            return std::nullopt;
        }
        found.category = inCategory != 0 ? std::optional(std::move(category)) : std::nullopt;
    }
    if (!in.atEnd()) {
        return std::nullopt;
    }
    titles.days.restore(std::move(pairs), std::move(entries));
    return titles;
}

std::optional<std::string> TitleDaysCache::update(const ScanState& counted,
                                                  const LocalDays& localDays,
                                                  Classifier& classifier, std::uint64_t rulesDigest,
                                                  ClassifiedTitles& titles) {
    std::optional<ClassifiedTitles> stored = load();
    titles = stored ? std::move(*stored) : ClassifiedTitles();
    const ReadPosition before = titles.days.position;
    const std::size_t known = titles.classes.size();
    if (titles.rulesDigest != rulesDigest || !continuesTo(titles.days, counted, localDays)) {
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
    if (stored && titles.days.position == before && titles.rulesDigest == rulesDigest &&
        titles.classes.size() == known) {
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

std::optional<ClassifiedTitles> TitleDaysCache::load() {
    FileContents read = fileSystem_.readSmallFile(path_, kLargest);
    if (!read.bytes) {
        if (fileSystem_.exists(path_)) {
            warnOnce("Not using the windows cache " + path_ + ": " + faultText(read.error) +
                     "; the activity log is read whole.");
        }
        return std::nullopt;
    }
    std::optional<ClassifiedTitles> titles = decodeClassifiedTitles(*read.bytes);
    if (!titles) {
        if (!read.bytes->starts_with(kFamily) || read.bytes->starts_with(kFormat)) {
            warnOnce("Not using the windows cache " + path_ +
                     ": it is damaged; the activity log is read whole.");
        }
        return std::nullopt;
    }
    // A log edited in place is read whole again.
    if (sampleOf(fileSystem_, titles->days.position) != titles->days.position.sample) {
        return std::nullopt;
    }
    return titles;
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
