// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/report_command.h"

#include <charconv>
#include <memory>

#include "ranking/cached_scanner.h"
#include "ranking/totals_cache.h"
#include "recorder/log_location.h"
#include "report/title_rows.h"

namespace tesuko {

namespace {

constexpr const char* kUsage =
    "usage: tesuko report [--today | --yesterday | --week | --month\n"
    "                      | --since DATE [--until DATE]] [--by app|day|title]\n"
    "                      [--top N] [--format table|csv|json] [--log FILE]...\n";

constexpr const char* kTryReportHelp = "Try 'tesuko report --help' for more information.";

constexpr const char* kHelp =
    "Time per application over a range of local calendar days, from the activity\n"
    "log (the one tesuko records, or each --log FILE, read as one).\n"
    "\n"
    "  --today, --yesterday   that day (the default is --today)\n"
    "  --week, --month        the current week (from the locale's first day of the\n"
    "                         week, LC_TIME) or calendar month\n"
    "  --since DATE           from DATE (2026-12-01) up to --until DATE, both\n"
    "                         included; until today without --until\n"
    "  --by app|day|title     one row per application (the default), per day and\n"
    "                         application, or per application and window title\n"
    "  --top N                only the N largest rows (of each day, by day)\n"
    "  --format table|csv|json\n"
    "                         table: h:mm and share of the range; csv: RFC 4180,\n"
    "                         with each row's time span as ISO 8601 local times with\n"
    "                         their UTC offset; json: an array of objects with\n"
    "                         application, seconds and, by day or title, day or title\n"
    "\n"
    "An interval that crosses midnight is split there, so each day gets the seconds\n"
    "that fell on it. Start times are local wall-clock times without an offset:\n"
    "when the clocks go back, the hour that occurs twice is taken as its first\n"
    "occurrence; a time the clocks skipped is read as if they had not changed yet.\n"
    "Lines the ranking skips are skipped here too, and the system log says so.\n";

std::optional<std::size_t> positiveNumber(const std::string& text) {
    std::size_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value == 0) {
        return std::nullopt;
    }
    return value;
}

std::optional<Period> periodOf(const std::string& arg) {
    if (arg == "--today") {
        return Period::today;
    }
    if (arg == "--yesterday") {
        return Period::yesterday;
    }
    if (arg == "--week") {
        return Period::thisWeek;
    }
    if (arg == "--month") {
        return Period::thisMonth;
    }
    return std::nullopt;
}

// The next argument as the value of `option`, or what is wrong.
std::optional<std::string> valueOf(std::span<const std::string> args, std::size_t& i,
                                   std::string& problem) {
    if (i + 1 == args.size()) {
        problem = args[i] + " needs a value";
        return std::nullopt;
    }
    return args[++i];
}

std::optional<std::string> applyOption(std::span<const std::string> args, std::size_t& i,
                                       ReportOptions& options) {
    const std::string& arg = args[i];
    std::string problem;
    auto takeDate = [&](std::optional<std::int32_t>& day) {
        auto text = valueOf(args, i, problem);
        day = text ? dayFromIsoDate(*text) : std::nullopt;
        if (text && !day) {
            problem = arg + " takes a date like 2026-12-01, not '" + *text + "'";
        }
    };
    if (auto period = periodOf(arg)) {
        options.period = period;
    } else if (arg == "--since") {
        takeDate(options.since);
    } else if (arg == "--until") {
        takeDate(options.until);
    } else if (arg == "--by") {
        auto value = valueOf(args, i, problem);
        if (value == "app" || value == "day" || value == "title") {
            options.grouping = *value == "app"   ? Grouping::application
                               : *value == "day" ? Grouping::day
                                                 : Grouping::title;
        } else if (value) {
            problem = "--by takes app, day or title, not '" + *value + "'";
        }
    } else if (arg == "--top") {
        auto value = valueOf(args, i, problem);
        options.top = value ? positiveNumber(*value) : std::nullopt;
        if (value && !options.top) {
            problem = "--top takes a whole number of at least 1, not '" + *value + "'";
        }
    } else if (arg == "--format") {
        auto value = valueOf(args, i, problem);
        if (value == "table" || value == "csv" || value == "json") {
            options.format = *value == "table" ? ReportFormat::table
                             : *value == "csv" ? ReportFormat::csv
                                               : ReportFormat::json;
        } else if (value) {
            problem = "--format takes table, csv or json, not '" + *value + "'";
        }
    } else if (arg == "--log") {
        if (auto value = valueOf(args, i, problem)) {
            options.logs.push_back(*value);
        }
    } else if (arg == "--help" || arg == "-h") {
        options.help = true;
    } else {
        problem = "unexpected argument '" + arg + "'";
    }
    return problem.empty() ? std::nullopt : std::optional(problem);
}

// "--by=day" as "--by" "day", as GNU tools take them.
std::vector<std::string> splitAtEquals(std::span<const std::string> args) {
    std::vector<std::string> split;
    for (const std::string& arg : args) {
        std::size_t equals = arg.find('=');
        if (arg.starts_with("--") && equals != std::string::npos) {
            split.push_back(arg.substr(0, equals));
            split.push_back(arg.substr(equals + 1));
        } else {
            split.push_back(arg);
        }
    }
    return split;
}

}  // namespace

std::variant<ReportOptions, std::string> parseReportArguments(std::span<const std::string> given) {
    if (given.empty() || given.front() != "report") {
        return std::string("expected report");
    }
    const std::vector<std::string> split = splitAtEquals(given);
    std::span<const std::string> args = split;
    ReportOptions options;
    int ranges = 0;
    for (std::size_t i = 1; i < args.size(); ++i) {
        bool range = periodOf(args[i]) || args[i] == "--since";
        ranges += range ? 1 : 0;
        if (auto problem = applyOption(args, i, options)) {
            return *problem;
        }
    }
    if (ranges > 1) {
        return std::string("give one of --today, --yesterday, --week, --month, --since");
    }
    if (options.until && !options.since) {
        return std::string("--until needs --since");
    }
    if (options.since && options.until && *options.until < *options.since) {
        return std::string("--until is before --since");
    }
    return options;
}

int runReportCommand(const std::vector<std::string>& args, ReportServices services,
                     std::ostream& out, std::ostream& err) {
    auto parsed = parseReportArguments(args);
    if (auto* problem = std::get_if<std::string>(&parsed)) {
        err << "tesuko: " << *problem << '\n' << kUsage << kTryReportHelp << '\n';
        return 2;
    }
    const ReportOptions& options = std::get<ReportOptions>(parsed);
    if (options.help) {
        out << kUsage << '\n' << kHelp;
        return 0;
    }
    LocalDays localDays(services.timeZone);
    auto now = std::chrono::duration_cast<std::chrono::seconds>(
        services.clock.wallNow().time_since_epoch());
    std::int32_t today = localDays.at(now.count()).wall.day;
    DateRange range = options.since ? DateRange{*options.since, options.until.value_or(today) + 1}
                                    : periodRange(options.period.value_or(Period::today), today,
                                                  firstWeekdayOf(services.locale));

    // Each log counted through its own cache; the tray's log through the tray's.
    std::string trayLog = logPath(services.defaults, services.systemLog, services.home);
    std::vector<std::string> paths = options.logs.empty() ? std::vector{trayLog} : options.logs;
    std::string cacheFolder = services.home.cacheFolder();
    std::vector<std::unique_ptr<CachedScanner>> scanners;
    std::vector<const ScanState*> logs;
    for (const std::string& path : paths) {
        auto& scanner =
            scanners.emplace_back(std::make_unique<CachedScanner>(services.systemLog, localDays));
        scanner->setCache(std::make_unique<FileTotalsCache>(
            services.fileSystem, services.systemLog,
            path == trayLog ? totalsCachePath(cacheFolder) : totalsCachePath(cacheFolder, path)));
        if (auto error = scanner->scan(services.fileSystem, path)) {
            err << "tesuko: cannot read the activity log " << path << ": " << *error << '\n';
            return 1;
        }
        logs.push_back(&scanner->scanner().state());
    }

    ReportView view{options.grouping, range, {}, 0};
    if (options.grouping == Grouping::title) {
        if (auto error = rowsByTitle(services.fileSystem, logs, range, localDays, view.rows)) {
            err << "tesuko: cannot read the activity log " << *error << '\n';
            return 1;
        }
    } else {
        view.rows = options.grouping == Grouping::day ? rowsByDay(logs, range)
                                                      : rowsByApplication(logs, range);
    }
    view.total = totalSeconds(view.rows);
    if (options.top) {
        keepTop(view.rows, options.grouping, *options.top);
    }
    if (view.rows.empty() && options.format != ReportFormat::table) {
        err << "tesuko: no records in this range (" << rangeText(range) << ")\n";
    }
    switch (options.format) {
        case ReportFormat::table:
            writeTable(view, out, services.terminal);
            break;
        case ReportFormat::csv:
            writeCsv(view, localDays, out);
            break;
        case ReportFormat::json:
            writeJson(view, out);
            break;
    }
    return 0;
}

}  // namespace tesuko
