// SPDX-License-Identifier: GPL-3.0-or-later
// How fast the ranking reads the activity log: full scans of generated logs,
// scans after appends, the first scan after launch from the totals cache,
// a log of huge lines, peak memory, and the literal algorithm as the baseline.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "bench/literal_ranking.h"
#include "bench/log_generator.h"
#include "bench/peak_memory.h"
#include "bench/summary_reporter.h"
#include "fakes/fake_system_log.h"
#include "platform/posix/huge_page_memory.h"
#include "platform/posix/posix_file_system.h"
#include "ranking/log.h"

namespace tesuko::bench {
namespace {

namespace fs = std::filesystem;

struct GeneratedLog {
    std::string label;
    std::string path;
    std::uint64_t records = 0;
    std::uint64_t bytes = 0;
};

// A Log over the real file system that reads the given file.
class Reader {
  public:
    explicit Reader(const std::string& path) : path_(path) {}
    Log& log() { return log_; }
    const std::vector<std::string>& systemLogLines() const { return systemLog_.lines; }
    RankList scan() {
        log_.scanLog();
        return log_.getRankLog();
    }

  private:
    PosixFileSystem files_;
    FakeSystemLog systemLog_;
    std::string path_;
    Log log_{files_, systemLog_, [this] { return path_; }};
};

// Manual times of short scans, and their median: other work on the machine
// shows in the mean as a few long iterations.
class IterationTimes {
  public:
    void add(benchmark::State& state, std::chrono::steady_clock::duration took) {
        double seconds = std::chrono::duration<double>(took).count();
        state.SetIterationTime(seconds);
        seconds_.push_back(seconds);
    }
    void report(benchmark::State& state) {
        if (seconds_.empty()) {
            return;
        }
        auto middle = seconds_.begin() + std::ptrdiff_t(seconds_.size() / 2);
        std::nth_element(seconds_.begin(), middle, seconds_.end());
        state.counters["median_us"] = *middle * 1e6;
    }

  private:
    std::vector<double> seconds_;
};

void setRecordCounters(benchmark::State& state, const GeneratedLog& log) {
    state.SetBytesProcessed(std::int64_t(state.iterations() * log.bytes));
    state.SetItemsProcessed(std::int64_t(state.iterations() * log.records));
    state.counters["bytes"] = double(log.bytes);
    state.counters["records"] = double(log.records);
}

void readOnly(benchmark::State& state, const GeneratedLog& log) {
    PosixFileSystem files;
    std::vector<char> buffer(LogScanner::kDefaultChunkSize);
    for (auto _ : state) {
        auto reader = files.openForReading(log.path).file;
        std::uint64_t offset = 0;
        while (auto got = reader->readAt(offset, buffer)) {
            if (*got == 0) {
                break;
            }
            offset += *got;
        }
        benchmark::DoNotOptimize(offset);
    }
    setRecordCounters(state, log);
}

void fullScan(benchmark::State& state, const GeneratedLog& log) {
    for (auto _ : state) {
        Reader reader(log.path);
        benchmark::DoNotOptimize(reader.scan());
    }
    setRecordCounters(state, log);
}

void literal(benchmark::State& state, const GeneratedLog& log) {
    RankList ranks;
    for (auto _ : state) {
        ranks = literalRanking(log.path);
        benchmark::DoNotOptimize(ranks);
    }
    if (ranks != Reader(log.path).scan()) {
        state.SkipWithError("the literal ranking differs from the scanner's");
    }
    setRecordCounters(state, log);
}

void peakMemory(benchmark::State& state, const GeneratedLog& log, bool literalWay) {
    for (auto _ : state) {
        auto rise = peakMemoryAboveBaseline([&] {
            if (literalWay) {
                benchmark::DoNotOptimize(literalRanking(log.path));
            } else {
                Reader reader(log.path);
                benchmark::DoNotOptimize(reader.scan());
            }
        });
        if (!rise) {
            state.SkipWithError("could not measure the peak memory");
            return;
        }
        state.counters["peak_MiB"] = double(*rise) / (1024.0 * 1024.0);
    }
}

// A menu opening after `appended` records were written since the last one.
void incremental(benchmark::State& state, const GeneratedLog& base, std::size_t appended,
                 const std::string& folder) {
    std::string path = folder + "/incremental-" + std::to_string(appended) + ".csv";
    fs::copy_file(base.path, path, fs::copy_options::overwrite_existing);
    std::string records = LogGenerator(7).records(appended);
    PosixFileSystem files;
    auto writer = files.openForWriting(path, FileSystem::Links::follow).file;
    OwnAppends own{writer->identity(), writer->identity(), nullptr, {}};
    Reader reader(path);
    reader.log().takeOwnAppendsFrom([&] { return own; });
    reader.scan();
    IterationTimes times;
    for (auto _ : state) {
        FileIdentity before = writer->identity();
        writer->write(records);
        own.add(before, writer->identity());
        auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(reader.scan());
        times.add(state, std::chrono::steady_clock::now() - start);
    }
    fs::remove(path);
    times.report(state);
    state.SetItemsProcessed(std::int64_t(state.iterations() * appended));
}

// The scan at launch: a new Log whose cache was saved when the last run quit.
void firstScanFromCache(benchmark::State& state, const GeneratedLog& base,
                        const std::string& folder) {
    std::string path = folder + "/cached.csv";
    std::string cachePath = folder + "/cache/totals.cache";
    fs::copy_file(base.path, path, fs::copy_options::overwrite_existing);
    PosixFileSystem files;
    FakeSystemLog quiet;
    {
        Reader warm(path);
        warm.log().setTotalsCache(std::make_unique<FileTotalsCache>(files, quiet, cachePath));
        warm.scan();
    }
    IterationTimes times;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        Reader reader(path);
        reader.log().setTotalsCache(std::make_unique<FileTotalsCache>(files, quiet, cachePath));
        benchmark::DoNotOptimize(reader.scan());
        times.add(state, std::chrono::steady_clock::now() - start);
    }
    times.report(state);
    fs::remove(path);
    fs::remove_all(folder + "/cache");
}

// A log of 2 GB, nearly all of it one line of zeros (as a crash can leave
// behind, here a hole in a sparse file), after a record with a 1 MB title:
// the long line is skipped, and memory stays far below the file's size.
void hugeLines(benchmark::State& state, const std::string& folder) {
    const std::string path = folder + "/huge-lines.csv";
    auto record = [](const std::string& name, const std::string& seconds, std::size_t title) {
        return "2026年12月05日 13時40分48秒," + name + "," + std::string(title, 't') + ",3,10," +
               seconds + "\n";
    };
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        << record("A", "1", 30) << record("B", "2", std::size_t(1) << 20);
    fs::resize_file(path, std::uint64_t(2) << 30);
    std::ofstream(path, std::ios::binary | std::ios::app) << "\n" << record("C", "3", 30);
    const RankList expected{{"C", 3}, {"B", 2}, {"A", 1}};
    for (auto _ : state) {
        Reader reader(path);
        if (reader.scan() != expected || reader.systemLogLines().size() != 1) {
            state.SkipWithError("the huge line was not skipped, or the records not counted");
            break;
        }
    }
    auto rise = peakMemoryAboveBaseline([&] {
        Reader reader(path);
        benchmark::DoNotOptimize(reader.scan());
    });
    if (rise) {
        state.counters["peak_MiB"] = double(*rise) / (1024.0 * 1024.0);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * fs::file_size(path)));
    fs::remove(path);
}

std::vector<GeneratedLog> logsIn(const std::string& folder) {
    const std::pair<const char*, std::uint64_t> sizes[] = {
        {"100k", 100'000}, {"1M", 1'000'000}, {"5M", 5'000'000}, {"2G", 20'000'000}};
    std::vector<GeneratedLog> logs;
    for (const auto& [label, records] : sizes) {
        std::string path = folder + "/" + label + ".csv";
        if (fs::exists(path)) {
            logs.push_back({label, path, records, fs::file_size(path)});
        }
    }
    return logs;
}

void registerAll(const std::vector<GeneratedLog>& logs, const std::string& folder) {
    using benchmark::RegisterBenchmark;
    for (const GeneratedLog& log : logs) {
        RegisterBenchmark(("read_only/" + log.label).c_str(), readOnly, log)
            ->Unit(benchmark::kMillisecond);
        RegisterBenchmark(("full_scan/" + log.label).c_str(), fullScan, log)
            ->Unit(benchmark::kMillisecond);
        RegisterBenchmark(("peak_memory/" + log.label).c_str(), peakMemory, log, false)
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
        if (log.records <= 1'000'000) {  // the baseline holds the whole file
            auto* run = RegisterBenchmark(("literal/" + log.label).c_str(), literal, log);
            run->Unit(benchmark::kMillisecond);
            if (log.records > 100'000) {
                run->Iterations(1);
            }
        }
    }
    const GeneratedLog& smallest = logs.front();
    RegisterBenchmark("peak_memory_literal/100k", peakMemory, smallest, true)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    for (std::size_t appended : {100, 1000}) {
        RegisterBenchmark(("incremental/" + std::to_string(appended)).c_str(), incremental,
                          smallest, appended, folder)
            ->UseManualTime()
            ->Iterations(appended == 100 ? 2000 : 500)
            ->Unit(benchmark::kMicrosecond);
    }
    RegisterBenchmark("huge_lines/2G", hugeLines, folder)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    // Copied for each run: the 2 GB log would measure the disk instead.
    auto copied = std::find_if(logs.rbegin(), logs.rend(),
                               [](const GeneratedLog& log) { return log.records <= 5'000'000; });
    const GeneratedLog& cacheBase = copied == logs.rend() ? smallest : *copied;
    RegisterBenchmark(("first_scan_from_cache/" + cacheBase.label).c_str(), firstScanFromCache,
                      cacheBase, folder)
        ->UseManualTime()
        ->Iterations(200)
        ->Unit(benchmark::kMicrosecond);
}

}  // namespace
}  // namespace tesuko::bench

int main(int argc, char** argv) {
    tesuko::useHugePagesForLargeBlocks();  // as the program does
    const char* folder = std::getenv("TESUKO_BENCH_LOGS");
    auto logs = folder ? tesuko::bench::logsIn(folder) : decltype(tesuko::bench::logsIn("")){};
    if (logs.empty()) {
        std::cerr << "Set TESUKO_BENCH_LOGS to a folder holding 100k.csv, 1M.csv and/or 5M.csv\n"
                     "(bench/run.sh makes them).\n";
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 2;
    }
    tesuko::bench::registerAll(logs, folder);
    tesuko::bench::SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary(std::cout);
    benchmark::Shutdown();
    return 0;
}
