// Writes a generated activity log: generate_log FILE RECORDS [SEED]
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
    if (argc < 3 || !parse(argv[2], records) || (argc > 3 && !parse(argv[3], seed))) {
        std::fprintf(stderr, "usage: %s FILE RECORDS [SEED]\n", argv[0]);
        return 2;
    }
    if (!tesuko::bench::LogGenerator(seed).writeLog(argv[1], records)) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
