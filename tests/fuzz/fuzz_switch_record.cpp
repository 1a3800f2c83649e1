// SPDX-License-Identifier: GPL-3.0-or-later
// Whatever an application calls itself or titles its windows, a record is one
// line of valid UTF-8 with exactly six fields.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "log/switch_record.h"
#include "text/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    std::string application = input.ConsumeRandomLengthString(256);
    std::string title = input.ConsumeRandomLengthString(4096);
    tesuko::SwitchRecord record{{2026, 12, 5, 13, 40, 48},
                                application,
                                title,
                                input.ConsumeIntegral<int32_t>(),
                                input.ConsumeIntegral<int32_t>(),
                                input.ConsumeFloatingPointInRange<double>(0, 1e9)};
    std::string line = tesuko::composeRecord(record);

    bool oneLine = line.back() == '\n' && line.find('\n') == line.size() - 1;
    bool sixFields = std::count(line.begin(), line.end(), ',') == 5;
    bool valid = tesuko::utf8::valid(line) == line;
    if (!oneLine || !sixFields || !valid) {
        std::abort();
    }
    return 0;
}
