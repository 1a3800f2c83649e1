// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/title_days.h"

#include <algorithm>

#include "report/interval_parts.h"

namespace tesuko {

namespace {

constexpr std::size_t kSettleEvery = 1 << 16;

std::uint64_t keyOf(std::int32_t day, std::uint32_t pair) {
    return std::uint64_t(std::uint32_t(day)) << 32 | pair;
}

bool before(const PairSeconds& a, const PairSeconds& b) {
    return keyOf(a.day, a.pair) < keyOf(b.day, b.pair);
}

}  // namespace

void TitleDays::add(std::int32_t day, std::string_view application, std::string_view title,
                    double seconds) {
    if (pairIndex_.empty()) {
        for (std::uint32_t i = 0; i < pairs_.size(); ++i) {
            pairIndex_.try_emplace(pairs_[i].application + '\n' + pairs_[i].title, i);
        }
    }
    key_.assign(application);
    key_ += '\n';
    key_ += title;
    auto [at, fresh] = pairIndex_.try_emplace(key_, std::uint32_t(pairs_.size()));
    if (fresh) {
        pairs_.push_back({std::string(application), std::string(title)});
    }
    added_[keyOf(day, at->second)] += seconds;
    if (added_.size() >= kSettleEvery) {
        settle();  // so that years of a log never wait in the map at once
    }
}

void TitleDays::settle() {
    if (added_.empty()) {
        return;
    }
    // What a log grows by falls on its last days: sorted on their own, the
    // new entries merge in one pass.
    const std::size_t counted = entries_.size();
    for (const auto& [key, seconds] : added_) {
        entries_.push_back({std::int32_t(std::uint32_t(key >> 32)), std::uint32_t(key), seconds});
    }
    added_.clear();
    const auto added = entries_.begin() + std::ptrdiff_t(counted);
    std::sort(added, entries_.end(), before);
    // Only from where the first new entry lands can two entries share a key.
    const auto changed = std::lower_bound(entries_.begin(), added, *added, before);
    std::inplace_merge(entries_.begin(), added, entries_.end(), before);
    auto out = changed;
    for (auto at = changed; at != entries_.end(); ++at) {
        if (out != changed && !before(*(out - 1), *at)) {
            (out - 1)->seconds += at->seconds;
        } else {
            *out++ = *at;
        }
    }
    entries_.erase(out, entries_.end());
}

std::span<const PairSeconds> TitleDays::within(const DateRange& range) const {
    auto first =
        std::lower_bound(entries_.begin(), entries_.end(), range.first,
                         [](const PairSeconds& e, std::int32_t day) { return e.day < day; });
    auto end = std::lower_bound(first, entries_.end(), range.end,
                                [](const PairSeconds& e, std::int32_t day) { return e.day < day; });
    return {first, end};
}

void TitleDays::restore(std::vector<TitlePair> pairs, std::vector<PairSeconds> entries) {
    pairIndex_.clear();
    pairs_ = std::move(pairs);
    entries_ = std::move(entries);
}

bool continuesTo(const ReadPosition& at, std::string_view zone, const ScanState& counted,
                 const LocalDays& localDays) {
    const ReadPosition& to = counted.position;
    return at.path == to.path && at.file.sameFile(to.file) && zone == localDays.zone() &&
           at.offset <= to.offset;
}

std::optional<std::string> readTitleDays(FileSystem& fileSystem, const ScanState& counted,
                                         const LocalDays& localDays, TitleDays& days) {
    const ReadPosition& to = counted.position;
    if (!continuesTo(days.position, days.zone, counted, localDays)) {
        days = TitleDays();
        days.zone = localDays.zone();
    }
    if (days.position.offset < to.offset) {
        Opened<FileReader> opened = fileSystem.openForReading(to.path);
        if (!opened.file) {
            return faultText(opened.error);
        }
        if (!opened.file->identity().sameFile(to.file)) {
            return std::string("the file was replaced since it was counted");
        }
        auto error = readIntervalPartsBetween(*opened.file, days.position.offset, to.offset,
                                              localDays, [&](const IntervalPart& part) {
                                                  days.add(part.day, part.application, part.title,
                                                           part.seconds);
                                              });
        if (error) {
            return error;
        }
    }
    days.settle();
    // The sample is taken where the table is saved, not the ranking's.
    const std::uint64_t sample = days.position.sample;
    days.position = to;
    days.position.sample = sample;
    return std::nullopt;
}

}  // namespace tesuko
