// SPDX-License-Identifier: GPL-3.0-or-later
// Whether fast_float earns its place: seconds texts the recorder does not write
// itself, read by the log's fallback path and by std::from_chars behind the
// same guard. Registered at start-up, so they run with the scan benchmarks.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "ranking/seconds_text.h"

namespace tesuko::bench {
namespace {

// Equal thirds of three shapes, '#' a random digit, shuffled; the same every run.
std::vector<std::string> otherSecondsTexts() {
    std::mt19937 random(1234);
    const std::string shapes[] = {"###.#", "#e#", "0.#######"};
    std::vector<std::string> texts;
    for (int i = 0; i < 100'000; ++i) {
        std::string& text = texts.emplace_back(shapes[i % 3]);
        for (char& c : text) {
            c = c == '#' ? char('0' + random() % 10) : c;
        }
    }
    std::shuffle(texts.begin(), texts.end(), random);
    return texts;
}

// detail::secondsFromOtherText with std::from_chars in place of fast_float.
double fromCharsBehindGuard(std::string_view text) {
    const char* p = text.data();
    const char* end = p + text.size();
    while (p != end && (*p == ' ' || (*p >= '\t' && *p <= '\r'))) {
        ++p;
    }
    const bool negative = p != end && *p == '-';
    p += p != end && (*p == '+' || *p == '-');
    auto digit = [end](const char* at) { return at < end && *at >= '0' && *at <= '9'; };
    double magnitude = 0;
    if (digit(p) || (p != end && *p == '.' && digit(p + 1))) {
        std::from_chars(p, end, magnitude);
    }
    return negative ? -magnitude : magnitude;
}

void parseAll(benchmark::State& state, double (*parse)(std::string_view)) {
    static const std::vector<std::string> texts = otherSecondsTexts();
    for (auto _ : state) {
        for (const std::string& text : texts) {
            benchmark::DoNotOptimize(parse(text));
        }
    }
    for (const std::string& text : texts) {
        if (parse(text) != detail::secondsFromOtherText(text)) {
            state.SkipWithError(("the two parsers differ on " + text).c_str());
        }
    }
    state.SetItemsProcessed(std::int64_t(state.iterations() * texts.size()));
    using Counter = benchmark::Counter;
    state.counters["per_text"] = {double(texts.size()),
                                  Counter::kIsIterationInvariantRate | Counter::kInvert};
}

const auto* const kFastFloat = benchmark::RegisterBenchmark("seconds_text/fast_float", parseAll,
                                                            &detail::secondsFromOtherText);
const auto* const kFromChars =
    benchmark::RegisterBenchmark("seconds_text/std_from_chars", parseAll, &fromCharsBehindGuard);

}  // namespace
}  // namespace tesuko::bench
