// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes can end up in the log (another program, a damaged disk). Read in
// arbitrary appends and chunk sizes, the ranking and the day table must equal
// one full read of the same bytes, and nothing may crash.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fakes/fake_file_system.h"
#include "fakes/fake_system_log.h"
#include "ranking/log_scanner.h"

namespace {

// Damaged seconds may sum to infinities of both signs, and so to NaN.
bool sameTotal(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

bool sameRanks(const tesuko::RankList& a, const tesuko::RankList& b) {
    return std::ranges::equal(a, b, [](const auto& x, const auto& y) {
        return x.name == y.name && sameTotal(x.seconds, y.seconds);
    });
}

bool sameDays(const tesuko::DailyTotals& a, const tesuko::DailyTotals& b) {
    return std::ranges::equal(a.days(), b.days(), [](const auto& x, const auto& y) {
        return x.day == y.day && x.firstLine == y.firstLine && x.lastLine == y.lastLine &&
               std::ranges::equal(x.applications, y.applications, [](const auto& p, const auto& q) {
                   return p.application == q.application && sameTotal(p.seconds, q.seconds);
               });
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string path = "/log.csv";
    tesuko::FakeFileSystem files;
    tesuko::FakeSystemLog log;
    files.addFile(path, "");
    // A small longest line, so that skipping a line too long takes part too;
    // no chunk is longer, as a chunk holds at least one whole line.
    const auto longestLine = input.ConsumeIntegralInRange<std::size_t>(300, 2000);
    // A zone with a summer time, so that days of 23 and 25 hours take part.
    ::setenv("TZ", "Europe/Berlin", 1);
    const tesuko::LocalDays berlin;
    tesuko::LogScanner incremental(log, berlin, input.ConsumeIntegralInRange<std::size_t>(1, 300),
                                   longestLine);

    tesuko::OwnAppends own;
    while (input.remaining_bytes() > 0) {
        const auto part = input.ConsumeIntegralInRange<std::uint64_t>(1, 1000);
        files.append(path, input.ConsumeRandomLengthString(512), own);
        do {
            incremental.scan(files, path, own, part);
        } while (!incremental.caughtUp());
    }

    tesuko::LogScanner full(log, berlin, longestLine, longestLine);
    full.scan(files, path);
    if (!sameRanks(incremental.ranks(), full.ranks()) ||
        !sameDays(incremental.state().days, full.state().days)) {
        std::abort();
    }
    return 0;
}
