// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes can end up in the log (another program, a damaged disk). Read in
// arbitrary appends and chunk sizes, the ranking and the day table must equal
// one full read of the same bytes, and nothing may crash.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "ranking/log_scanner.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_system_log.h"

namespace {

bool sameTotal(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

bool sameRanks(const tesuko::RankList& a, const tesuko::RankList& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].name != b[i].name || !sameTotal(a[i].seconds, b[i].seconds)) {
            return false;
        }
    }
    return true;
}

bool sameDays(const tesuko::DailyTotals& a, const tesuko::DailyTotals& b) {
    const auto& x = a.days();
    const auto& y = b.days();
    if (x.size() != y.size()) {
        return false;
    }
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (x[i].day != y[i].day || x[i].firstLine != y[i].firstLine ||
            x[i].lastLine != y[i].lastLine ||
            x[i].applications.size() != y[i].applications.size()) {
            return false;
        }
        for (std::size_t k = 0; k < x[i].applications.size(); ++k) {
            if (x[i].applications[k].application != y[i].applications[k].application ||
                !sameTotal(x[i].applications[k].seconds, y[i].applications[k].seconds)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
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
