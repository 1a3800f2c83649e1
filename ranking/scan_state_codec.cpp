// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <vector>

#include "ranking/digest.h"
#include "ranking/totals_cache.h"

namespace tesuko {

namespace {

// Version 2 added the log's modification and change times, version 3 the
// time zone and the totals per day, version 4 the sample of the log's bytes,
// version 5 a checksum by words, which a report from the cache of a large log
// waited on for most of its time.
constexpr std::string_view kFormatFamily = "tesuko-totals-";
constexpr std::string_view kFormat = "tesuko-totals-5";
constexpr std::size_t kChecksumDigits = 16;

// Fixed width, so that the decoder finds the checksum at the end.
std::string hex(std::uint64_t value) {
    constexpr std::string_view kDigits = "0123456789abcdef";
    std::string digits(kChecksumDigits, '0');
    for (std::size_t i = kChecksumDigits; i-- > 0; value >>= 4) {
        digits[i] = kDigits[value & 15];
    }
    return digits;
}

// Values as "<length>:<bytes>", so that any bytes fit.
class Encoder {
  public:
    void text(std::string_view value) {
        out_ += std::to_string(value.size());
        out_ += ':';
        out_ += value;
    }
    void number(std::uint64_t value) { text(std::to_string(value)); }
    void real(double value) { number(std::bit_cast<std::uint64_t>(value)); }
    void signedNumber(std::int64_t value) { number(static_cast<std::uint64_t>(value)); }

    std::string finish() && {
        std::string sum = hex(digest(out_));
        return std::move(out_) + sum;
    }

  private:
    std::string out_;
};

class Decoder {
  public:
    explicit Decoder(std::string_view in) : in_(in) {}

    std::optional<std::string_view> text() {
        std::size_t colon = in_.find(':');
        std::uint64_t size = 0;
        if (colon == std::string_view::npos || !whole(in_.substr(0, colon), size) ||
            size > in_.size() - colon - 1) {
            return std::nullopt;
        }
        std::string_view value = in_.substr(colon + 1, size);
        in_.remove_prefix(colon + 1 + size);
        return value;
    }
    std::optional<std::uint64_t> number() {
        auto digits = text();
        std::uint64_t value = 0;
        if (!digits || !whole(*digits, value)) {
            return std::nullopt;
        }
        return value;
    }
    std::optional<double> real() {
        auto bits = number();
        if (!bits) {
            return std::nullopt;
        }
        return std::bit_cast<double>(*bits);
    }
    std::optional<std::int64_t> signedNumber() {
        auto bits = number();
        if (!bits) {
            return std::nullopt;
        }
        return static_cast<std::int64_t>(*bits);
    }
    bool atEnd() const { return in_.empty(); }

  private:
    static bool whole(std::string_view digits, std::uint64_t& value) {
        auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        return error == std::errc{} && end == digits.data() + digits.size() && !digits.empty();
    }

    std::string_view in_;
};

// The days are the bulk of a cache (days × applications a day), so they go
// as one value of fixed-size binary fields rather than as text: a ten-year
// log's table reads back in a few milliseconds.
template <typename T>
void put(std::string& out, T value) {
    char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    out.append(bytes, sizeof value);
}

template <typename T>
bool take(std::string_view& in, T& value) {
    if (in.size() < sizeof value) {
        return false;
    }
    std::memcpy(&value, in.data(), sizeof value);
    in.remove_prefix(sizeof value);
    return true;
}

std::string packDays(const DailyTotals& totals) {
    std::string out;
    std::size_t entries = 0;
    for (const DayTotals& day : totals.days()) {
        entries += day.applications.size();
    }
    out.reserve(totals.days().size() * 24 + entries * 12);
    for (const DayTotals& day : totals.days()) {
        put(out, day.day);
        put(out, day.firstLine);
        put(out, day.lastLine);
        put(out, std::uint32_t(day.applications.size()));
        for (const ApplicationSeconds& entry : day.applications) {
            put(out, entry.application);
            put(out, entry.seconds);
        }
    }
    return out;
}

std::optional<DailyTotals> unpackDays(std::string_view in, std::size_t applications) {
    DailyTotals::Restoring restoring(applications);
    std::vector<ApplicationSeconds> entries;
    while (!in.empty()) {
        DayTotals day;
        std::uint32_t count = 0;
        if (!take(in, day.day) || !take(in, day.firstLine) || !take(in, day.lastLine) ||
            !take(in, count) || in.size() / 12 < count) {
            return std::nullopt;
        }
        entries.resize(count);
        for (ApplicationSeconds& entry : entries) {
            take(in, entry.application);
            take(in, entry.seconds);
        }
        day.applications = entries;
        if (!restoring.add(day)) {
            return std::nullopt;
        }
    }
    return std::move(restoring).finish();
}

std::optional<ReadPosition> decodePosition(Decoder& in) {
    auto path = in.text();
    auto device = in.number();
    auto inode = in.number();
    auto size = in.number();
    auto modified = in.signedNumber();
    auto changed = in.signedNumber();
    auto offset = in.number();
    auto lines = in.number();
    auto lastBytes = in.text();
    auto sample = in.number();
    if (!path || !device || !inode || !size || !modified || !changed || !offset || !lines ||
        !lastBytes || !sample ||
        lastBytes->size() != std::min<std::uint64_t>(*offset, ReadPosition::kCheckedBytes) ||
        *offset > *size) {
        return std::nullopt;
    }
    return ReadPosition{std::string(*path),
                        FileIdentity{*device, *inode, *size, *modified, *changed},
                        *offset,
                        *lines,
                        std::string(*lastBytes),
                        *sample};
}

std::optional<RankList> decodeApplications(Decoder& in) {
    auto count = in.number();
    if (!count) {
        return std::nullopt;
    }
    RankList applications;
    for (std::uint64_t i = 0; i < *count; ++i) {
        auto name = in.text();
        auto seconds = in.real();
        if (!name || !seconds) {
            return std::nullopt;
        }
        applications.push_back({std::string(*name), *seconds});
    }
    return applications;
}

}  // namespace

std::string encodeScanState(const ScanState& state) {
    const ReadPosition& at = state.position;
    Encoder out;
    out.text(kFormat);
    out.text(at.path);
    out.number(at.file.device);
    out.number(at.file.inode);
    out.number(at.file.size);
    out.signedNumber(at.file.modified);
    out.signedNumber(at.file.changed);
    out.number(at.offset);
    out.number(at.lines);
    out.text(at.lastBytes);
    out.number(at.sample);
    out.number(state.totals.applications().size());
    for (const RankedApplication& application : state.totals.applications()) {
        out.text(application.name);
        out.real(application.seconds);
    }
    out.text(state.zone);
    out.text(packDays(state.days));
    return std::move(out).finish();
}

std::optional<ScanState> decodeScanState(std::string_view bytes) {
    if (bytes.size() < kChecksumDigits) {
        return std::nullopt;
    }
    std::string_view body = bytes.substr(0, bytes.size() - kChecksumDigits);
    if (bytes.substr(body.size()) != hex(digest(body))) {
        return std::nullopt;
    }
    Decoder in(body);
    if (in.text() != kFormat) {
        return std::nullopt;
    }
    auto position = decodePosition(in);
    auto applications = position ? decodeApplications(in) : std::nullopt;
    auto zone = applications ? in.text() : std::nullopt;
    auto packed = zone ? in.text() : std::nullopt;
    auto daily = packed ? unpackDays(*packed, applications->size()) : std::nullopt;
    if (!daily || !in.atEnd()) {
        return std::nullopt;
    }
    auto totals = ApplicationTotals::restored(std::move(*applications));
    if (!totals) {
        return std::nullopt;
    }
    return ScanState{std::move(*position), std::move(*totals), std::move(*daily),
                     std::string(*zone)};
}

bool isOtherScanStateVersion(std::string_view bytes) {
    auto format = Decoder(bytes).text();
    return format && format->starts_with(kFormatFamily) && *format != kFormat;
}

}  // namespace tesuko
