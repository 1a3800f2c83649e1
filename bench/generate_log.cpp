// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a generated activity log: generate_log FILE RECORDS [SEED [LONGEST_SECONDS]]
#include <charconv>
#include <cstdio>
#include <string_view>

#include "bench/log_generator.h"

namespace {

bool parse(std::string_view text, std::uint64_t& value) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size();
}

}  // namespace

int main(int argc, char** argv) {
    std::uint64_t records = 0;
    std::uint64_t seed = 1;
    std::uint64_t longest = 600;
    if (argc < 3 || !parse(argv[2], records) || (argc > 3 && !parse(argv[3], seed)) ||
        (argc > 4 && (!parse(argv[4], longest) || longest == 0 || longest > 86400))) {
        std::fprintf(stderr, "usage: %s FILE RECORDS [SEED [LONGEST_SECONDS]]\n", argv[0]);
        return 2;
    }
    if (!tesuko::bench::LogGenerator(seed, std::uint32_t(longest)).writeLog(argv[1], records)) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
