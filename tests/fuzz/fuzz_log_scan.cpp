// Any bytes can end up in the log (another program, a damaged disk). Read in
// arbitrary appends and chunk sizes, the ranking must equal one full read of
// the same bytes, and nothing may crash.
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
    tesuko::LogScanner incremental(log, input.ConsumeIntegralInRange<std::size_t>(1, 300),
                                   longestLine);

    std::string content;
    while (input.remaining_bytes() > 0) {
        content += input.ConsumeRandomLengthString(512);
        files.rewrite(path, content);
        incremental.scan(files, path);
    }

    tesuko::LogScanner full(log, longestLine, longestLine);
    full.scan(files, path);
    if (!sameRanks(incremental.ranks(), full.ranks())) {
        std::abort();
    }
    return 0;
}
