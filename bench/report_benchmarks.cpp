// SPDX-License-Identifier: GPL-3.0-or-later
// The report on a ten-year log (3.7 million records, 400 MB, made by run.sh):
// the first scan, which also fills the day table; range queries after it;
// `tesuko report` when the cache holds the count; the report window opening
// with the cache.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>

#include "app/desktop/report_window.h"
#include "app/report_command.h"
#include "bench/peak_memory.h"
#include "bench/summary_reporter.h"
#include "fakes/fake_home_folder.h"
#include "fakes/fake_system_log.h"
#include "fakes/fake_user_defaults.h"
#include "platform/posix/huge_page_memory.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/system_clock.h"
#include "ranking/log.h"
#include "report/report_rows.h"

namespace tesuko::bench {
namespace {

namespace fs = std::filesystem;

struct Setting {
    std::string log;
    std::string home;  // a private one: its cache folder holds the tray's cache
};

// A Log of the given file over the real file system, with the tray's cache.
struct TrayLog {
    explicit TrayLog(const Setting& setting) : home(setting.home), path(setting.log) {
        defaults.values["saveFilePath"] = "file://" + setting.log;
        log.setTotalsCache(std::make_unique<FileTotalsCache>(files, systemLog,
                                                             totalsCachePath(home.cacheFolder())));
    }
    PosixFileSystem files;
    FakeUserDefaults defaults;
    FakeSystemLog systemLog;
    FakeHomeFolder home;
    std::string path;
    Log log{files, systemLog, [this] { return path; }};
};

void firstScan(benchmark::State& state, Setting setting) {
    for (auto _ : state) {
        fs::remove_all(setting.home + "/.cache");
        TrayLog tray(setting);
        tray.log.scanLog();
        benchmark::DoNotOptimize(tray.log.state().days.days().size());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * fs::file_size(setting.log)));
    auto rise = peakMemoryAboveBaseline([&] {
        TrayLog tray(setting);
        tray.log.scanLog();
    });
    if (rise) {
        state.counters["peak_MiB"] = double(*rise) / (1024.0 * 1024.0);
    }
}

// The last day, week, month, year and all of it, after the first scan.
void rangeQuery(benchmark::State& state, Setting setting, std::int32_t days, bool byDay) {
    TrayLog tray(setting);
    tray.log.scanLog();
    const ScanState* logs[] = {&tray.log.state()};
    DateRange all = allDays(logs);
    DateRange range{days == 0 ? all.first : all.end - days, all.end};
    std::size_t rows = 0;
    for (auto _ : state) {
        auto found = byDay ? rowsByDay(logs, range) : rowsByApplication(logs, range);
        rows = found.size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["rows"] = double(rows);
    state.counters["days"] = double(tray.log.state().days.days().size());
}

// `tesuko report --month` in a new process, the cache saved by an earlier one.
void cachedCommand(benchmark::State& state, Setting setting) {
    TrayLog(setting).log.scanLog();
    for (auto _ : state) {
        TrayLog tray(setting);
        SystemClock clock;
        std::ostringstream out;
        std::ostringstream err;
        ReportServices services{tray.files, tray.defaults, tray.systemLog,
                                tray.home,  clock,         "en_US"};
        if (runReportCommand({"report", "--since", "2026-11-01"}, services, out, err) != 0) {
            state.SkipWithError("report failed");
        }
    }
}

// The window from nothing to shown, the cache saved by the tray at its last quit.
void windowOpening(benchmark::State& state, Setting setting) {
    TrayLog(setting).log.scanLog();
    SystemClock clock;
    for (auto _ : state) {
        TrayLog tray(setting);
        ReportWindow window(tray.log, tray.files, clock, "en_US");
        window.choose(ReportWindow::Choice::allTime);
        window.showAndRaise();
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.applications().rowCount());
    }
}

}  // namespace
}  // namespace tesuko::bench

int main(int argc, char** argv) {
    tesuko::useHugePagesForLargeBlocks();  // as the program does
    using namespace tesuko::bench;
    const char* folder = std::getenv("TESUKO_BENCH_LOGS");
    std::string log = folder ? std::string(folder) + "/10y.csv" : "";
    if (log.empty() || !fs::exists(log)) {
        std::cerr << "Set TESUKO_BENCH_LOGS to a folder holding 10y.csv (bench/run.sh makes it).\n";
        return 2;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Setting setting{log, std::string(folder) + "/report-home"};
    using benchmark::RegisterBenchmark;
    RegisterBenchmark("report_first_scan/10y", firstScan, setting)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    const std::pair<const char*, std::int32_t> ranges[] = {
        {"day", 1}, {"week", 7}, {"month", 31}, {"year", 366}, {"all", 0}};
    for (const auto& [name, days] : ranges) {
        RegisterBenchmark((std::string("report_range/10y/") + name).c_str(), rangeQuery, setting,
                          days, false)
            ->Unit(benchmark::kMillisecond);
    }
    RegisterBenchmark("report_range_by_day/10y/all", rangeQuery, setting, 0, true)
        ->Unit(benchmark::kMillisecond);
    RegisterBenchmark("report_command_cached/10y", cachedCommand, setting)
        ->Unit(benchmark::kMillisecond);
    RegisterBenchmark("report_window_open/10y", windowOpening, setting)
        ->Unit(benchmark::kMillisecond);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    fs::remove_all(setting.home);
    return 0;
}
