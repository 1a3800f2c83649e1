// SPDX-License-Identifier: GPL-3.0-or-later
// The report on a ten-year log (3.7 million records, 400 MB, made by run.sh):
// the first scan, which also fills the day table; range queries after it;
// `tesuko report` when the cache holds the count; the report window opening
// with the cache; reports by category with 50 rules, with and without the
// windows' cache, and checked against a plain evaluation.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <vector>

#include "app/desktop/report_window.h"
#include "app/report_command.h"
#include "bench/peak_memory.h"
#include "bench/summary_reporter.h"
#include "categories/rule_file.h"
#include "categories/rules_location.h"
#include "fakes/fake_home_folder.h"
#include "fakes/fake_system_log.h"
#include "fakes/fake_user_defaults.h"
#include "platform/posix/huge_page_memory.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/system_clock.h"
#include "ranking/log.h"
#include "report/classified_rows.h"
#include "report/report_rows.h"
#include "report/title_days_cache.h"

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

// `tesuko report ARGS` as a new process runs it, over the tray's log and cache.
void runReport(benchmark::State& state, const Setting& setting,
               const std::vector<std::string>& args) {
    TrayLog tray(setting);
    SystemClock clock;
    std::ostringstream out;
    std::ostringstream err;
    ReportServices services{tray.files, tray.defaults, tray.systemLog, tray.home, clock, "en_US"};
    if (runReportCommand(args, services, out, err) != 0) {
        state.SkipWithError("report failed");
    }
}

// `tesuko report --month` in a new process, the cache saved by an earlier one.
void cachedCommand(benchmark::State& state, Setting setting) {
    TrayLog(setting).log.scanLog();
    for (auto _ : state) {
        runReport(state, setting, {"report", "--since", "2026-11-01"});
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

// 50 category rules, half of them regular expressions, most matching little
// so that a window runs through many; and two aliases.
struct BenchRule {
    std::string category;
    bool onTitle = false;
    bool regex = false;
    std::string pattern;
};

std::vector<BenchRule> benchRules() {
    const char* const words[] = {"report", "inbox",  "main", "議事録", "plan",    "notes",  "計画",
                                 "search", "budget", "bash", "写真",   "release", "office", "zoom"};
    std::vector<BenchRule> rules;
    for (int i = 0; i < 50; ++i) {
        const std::string word = words[i % std::size(words)];
        const std::string category =
            "Area" + std::to_string(i % 5) + "/Topic" + std::to_string(i % 11);
        if (i % 2 == 0) {
            // Suffixes that mostly fail, after a scan of the whole title.
            rules.push_back({category, i % 4 == 0, true,
                             i % 3 == 0 ? word + ".*[0-9]{" + std::to_string(1 + i % 4) + "}"
                                        : "^(" + word + "|x" + std::to_string(i) + ").*$"});
        } else {
            rules.push_back({category, i % 3 != 0, false, word});
        }
    }
    return rules;
}

std::string rulesText(const std::vector<BenchRule>& rules, int version) {
    std::string text = "# version " + std::to_string(version) +
                       "\nalias Firefox = Browser\nalias Chromium = Browser\n";
    for (const BenchRule& rule : rules) {
        text += rule.category + " = " + (rule.onTitle ? "title " : "app ") +
                (rule.regex ? "/" + rule.pattern + "/" : rule.pattern) + "\n";
    }
    return text;
}

void writeRules(const Setting& setting, int version) {
    FakeHomeFolder home(setting.home);
    const std::string path = rulesFilePath(home);
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::trunc) << rulesText(benchRules(), version);
}

enum class CategoryCache { none, otherRules, logGrown, kept };

// `tesuko report --by category` over all ten years in a new process: with no
// windows' cache (the totals' kept), after a change of the rules, after the
// tray appended a record (the last case, as it changes the log), and warm.
void categoryCommand(benchmark::State& state, Setting setting, CategoryCache kept) {
    int version = 0;
    writeRules(setting, version);
    auto report = [&] {
        runReport(state, setting, {"report", "--since", "2000-01-01", "--by", "category"});
    };
    report();
    const std::string cache =
        titleDaysCachePath(totalsCachePath(FakeHomeFolder(setting.home).cacheFolder()));
    auto prepare = [&] {
        if (kept == CategoryCache::none) {
            fs::remove(cache);
        } else if (kept == CategoryCache::otherRules) {
            writeRules(setting, ++version);
        } else if (kept == CategoryCache::logGrown) {
            std::ofstream(setting.log, std::ios::app)
                << "2027年01月10日 09時00分00秒,Geary,Inbox (12) — work account,1,2,30.000000\n";
        }
    };
    for (auto _ : state) {
        state.PauseTiming();
        prepare();
        state.ResumeTiming();
        report();
    }
    prepare();
    auto rise = peakMemoryAboveBaseline(report);
    if (rise) {
        state.counters["peak_MiB"] = double(*rise) / (1024.0 * 1024.0);
    }
    state.counters["cache_MiB"] = double(fs::file_size(cache)) / (1024.0 * 1024.0);
}

// Each line parsed on its own, split at local midnights by the C library, and
// the rules applied with std::regex: seconds per (category, shown name), to
// compare with the report's rows by application.
std::map<std::pair<std::string, std::string>, double> plainEvaluation(const std::string& log) {
    const std::vector<BenchRule> rules = benchRules();
    std::vector<std::regex> patterns;
    for (const BenchRule& rule : rules) {
        patterns.emplace_back(rule.regex ? rule.pattern : "", std::regex::icase);
    }
    auto lower = [](std::string text) {
        for (char& c : text) {
            c = char(std::tolower(static_cast<unsigned char>(c)));
        }
        return text;
    };
    std::map<std::pair<std::string, std::string>, std::string> categories;  // by window
    std::map<std::pair<std::string, std::string>, double> sums;
    std::ifstream in(log);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::stringstream split(line);
        for (std::string field; std::getline(split, field, ',');) {
            fields.push_back(field);
        }
        std::tm local{};
        std::sscanf(fields.at(0).c_str(), "%d年%d月%d日 %d時%d分%d秒", &local.tm_year,
                    &local.tm_mon, &local.tm_mday, &local.tm_hour, &local.tm_min, &local.tm_sec);
        local.tm_year -= 1900;
        local.tm_mon -= 1;
        local.tm_isdst = -1;
        const std::string shown =
            fields[1] == "Firefox" || fields[1] == "Chromium" ? "Browser" : fields[1];
        auto [known, fresh] = categories.try_emplace({shown, fields[2]});
        if (fresh) {
            known->second = "Uncategorized";
            for (std::size_t i = 0; i < rules.size(); ++i) {
                const std::string& text = rules[i].onTitle ? fields[2] : shown;
                if (rules[i].regex
                        ? std::regex_search(text, patterns[i])
                        : lower(text).find(lower(rules[i].pattern)) != std::string::npos) {
                    known->second = rules[i].category;
                    break;
                }
            }
        }
        double seconds = std::stod(fields.at(5));
        for (std::time_t from = std::mktime(&local); seconds > 0;) {
            std::tm next = local;
            next.tm_mday += 1;
            next.tm_hour = next.tm_min = next.tm_sec = 0;
            next.tm_isdst = -1;
            const std::time_t midnight = std::mktime(&next);
            const double part = std::min(seconds, double(midnight - from));
            sums[{known->second, shown}] += part;
            seconds -= part;
            from = midnight;
            localtime_r(&from, &local);
        }
    }
    return sums;
}

// The report's rows by application against the plain evaluation: the most
// any row differs, in seconds.
void compareWithPlainEvaluation(const Setting& setting) {
    TrayLog tray(setting);
    tray.log.scanLog();
    Classifier classifier{RuleSet(parseRuleFile(rulesText(benchRules(), 0)))};
    ClassifiedTitles titles;
    TitleDaysCache cache(tray.files, tray.systemLog, setting.home + "/oracle-titles.cache");
    cache.update(tray.log.state(), LocalDays(), classifier, 0, {{INT32_MIN, INT32_MAX}}, titles);
    auto plain = plainEvaluation(setting.log);
    double most = 0;
    std::size_t rows = 0;
    for (const ReportRow& row :
         classifiedRows({&titles, 1}, {INT32_MIN, INT32_MAX}, Grouping::application, {})) {
        ++rows;
        auto found = plain.find({categoryName(row.category), row.application});
        if (found == plain.end()) {
            most = std::max(most, row.seconds);
            continue;
        }
        most = std::max(most, std::abs(found->second - row.seconds));
        plain.erase(found);
    }
    std::cout << "plain evaluation: " << rows << " rows (category, application), " << plain.size()
              << " left over, most any differs: " << most << " s\n";
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
    const std::pair<const char*, CategoryCache> categoryCases[] = {
        {"no_cache", CategoryCache::none},
        {"rules_changed", CategoryCache::otherRules},
        {"warm", CategoryCache::kept},
        {"log_grown", CategoryCache::logGrown}};
    for (const auto& [name, kept] : categoryCases) {
        RegisterBenchmark((std::string("report_by_category/10y/") + name).c_str(), categoryCommand,
                          setting, kept)
            ->Unit(benchmark::kMillisecond);
    }
    if (std::getenv("TESUKO_BENCH_PLAIN")) {
        compareWithPlainEvaluation(setting);
    }
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    fs::remove_all(setting.home);
    return 0;
}
