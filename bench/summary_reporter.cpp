// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/summary_reporter.h"

#include <algorithm>
#include <cstdlib>
#include <iomanip>
#include <optional>
#include <sstream>

namespace tesuko::bench {

namespace {

double secondsPerUnit(benchmark::TimeUnit unit) {
    switch (unit) {
        case benchmark::kNanosecond:
            return 1e-9;
        case benchmark::kMicrosecond:
            return 1e-6;
        case benchmark::kMillisecond:
            return 1e-3;
        case benchmark::kSecond:
            return 1;
    }
    return 1;
}

std::optional<double> catSeconds(const std::string& label) {
    const char* text = std::getenv(("TESUKO_CAT_SECONDS_" + label).c_str());
    if (text == nullptr) {
        return std::nullopt;
    }
    return std::strtod(text, nullptr);
}

// "first_scan_from_cache/5M/iterations:200/manual_time" -> "5M"
std::string labelOf(const std::string& name) {
    std::size_t start = name.find('/') + 1;
    return name.substr(start, name.find('/', start) - start);
}

// Google Benchmark 1.8 replaced a run's error fields with its skip fields.
template <typename BenchmarkRun>
std::optional<std::string> failureOf(const BenchmarkRun& run) {
    if constexpr (requires { run.skip_message; }) {
        if (run.skipped) {
            return run.skip_message;
        }
    } else {
        if (run.error_occurred) {
            return run.error_message;
        }
    }
    return std::nullopt;
}

std::string fixed(double value, int digits) {
    std::ostringstream out;
    out << std::fixed << std::setprecision(digits) << value;
    return out.str();
}

}  // namespace

void SummaryReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        Result result;
        result.seconds = run.GetAdjustedRealTime() * secondsPerUnit(run.time_unit);
        result.cpuSeconds = run.GetAdjustedCPUTime() * secondsPerUnit(run.time_unit);
        for (const auto& [name, counter] : run.counters) {
            result.counters[name] = counter.value;
        }
        if (std::optional<std::string> failure = failureOf(run)) {
            result.error = *failure;
        }
        std::string name = run.benchmark_name();
        results_[name] = result;
        if (name.starts_with("full_scan/")) {
            labels_.push_back(labelOf(name));
        }
    }
}

const SummaryReporter::Result* SummaryReporter::find(const std::string& name) const {
    for (const auto& [runName, result] : results_) {
        if (runName == name || runName.starts_with(name + "/")) {
            return &result;
        }
    }
    return nullptr;
}

void SummaryReporter::printLogRow(std::ostream& out, const std::string& label) const {
    const Result* scan = find("full_scan/" + label);
    const Result* read = find("read_only/" + label);
    const Result* literal = find("literal/" + label);
    const Result* peak = find("peak_memory/" + label);
    auto cat = catSeconds(label);
    double bytes = scan->counters.count("bytes") ? scan->counters.at("bytes") : 0;
    double records = scan->counters.count("records") ? scan->counters.at("records") : 1;
    bool literalDone = literal && literal->error.empty();
    auto column = [&out](int width, const std::string& text) { out << std::setw(width) << text; };
    out << std::left << std::setw(6) << label << std::right;
    column(9, fixed(bytes / 1e6, 1));
    column(9, fixed(scan->seconds * 1e3, 1));
    column(9, fixed(scan->cpuSeconds * 1e3, 1));
    column(7, fixed(bytes / scan->seconds / 1e9, 2));
    column(10, fixed(scan->seconds / records * 1e9, 1));
    column(9, read ? fixed(read->seconds * 1e3, 1) : "-");
    column(9, cat ? fixed(*cat * 1e3, 1) : "-");
    column(9, cat ? fixed(scan->seconds / *cat, 2) : "-");
    column(11, literalDone ? fixed(literal->seconds * 1e3, 0) : "-");
    column(10, literalDone ? fixed(literal->seconds / scan->seconds, 0) : "-");
    column(10, peak && peak->counters.count("peak_MiB") ? fixed(peak->counters.at("peak_MiB"), 2)
                                                        : "-");
    out << '\n';
    if (literal && !literal->error.empty()) {
        out << "  literal/" << label << ": " << literal->error << '\n';
    }
}

void SummaryReporter::printSummary(std::ostream& out) const {
    out << "\nSummary: logs read from the page cache, one thread\n"
        << "log     size MB  scan ms   cpu ms   GB/s ns/record  read ms   cat ms scan/cat "
           "literal ms x literal  peak MiB\n";
    for (const std::string& label : labels_) {
        printLogRow(out, label);
    }
    out << "(times are real time; cpu ms is the scan's CPU time; read ms reads the file in the\n"
           " same chunks without counting; cat ms is `cat LOG > /dev/null`, best of 5, timed by\n"
           " run.sh; peak MiB is resident memory above the process's baseline during a scan)\n";
    if (const Result* literalPeak = find("peak_memory_literal/100k")) {
        out << "literal algorithm, peak memory on 100k: "
            << fixed(literalPeak->counters.at("peak_MiB"), 1) << " MiB\n";
    }
    if (const Result* huge = find("huge_lines/2G")) {
        out << "2 GB log, nearly all one line: ";
        if (!huge->error.empty()) {
            out << huge->error;
        } else {
            out << fixed(huge->seconds * 1e3, 0) << " ms";
            if (huge->counters.count("peak_MiB")) {
                out << ", peak " << fixed(huge->counters.at("peak_MiB"), 1) << " MiB";
            }
        }
        out << '\n';
    }
    for (const char* appended : {"100", "1000"}) {
        if (const Result* run = find(std::string("incremental/") + appended)) {
            out << "scan after " << appended << " appended records: median "
                << fixed(run->counters.at("median_us"), 1) << " us, mean "
                << fixed(run->seconds * 1e6, 1) << " us\n";
        }
    }
    for (const auto& [name, result] : results_) {
        if (name.starts_with("first_scan_from_cache/")) {
            out << "scan at launch, cache saved at the last quit (" << labelOf(name)
                << " log): median " << fixed(result.counters.at("median_us"), 1) << " us, mean "
                << fixed(result.seconds * 1e6, 1) << " us\n";
        }
    }
}

}  // namespace tesuko::bench
