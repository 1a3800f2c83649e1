// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/report_command.h"

#include <algorithm>
#include <charconv>
#include <memory>
#include <string_view>

#include "log/log_location.h"
#include "ranking/cached_scanner.h"
#include "ranking/totals_cache.h"
#include "report/title_rows.h"

namespace tesuko {

namespace {

// Which file is at the path now; nullopt when none can be read there or
// it cannot be told.
std::optional<FileIdentity> identityOf(FileSystem& fileSystem, const std::string& path) {
    Opened<FileReader> opened = fileSystem.openForReading(path);
    std::optional<FileIdentity> file;
    if (opened.file) {
        file = opened.file->identity();
    }
    return file && (file->device != 0 || file->inode != 0) ? file : std::nullopt;
}

constexpr const char* kUsage =
    "Usage: tesuko report [--today | --yesterday | --week | --month\n"
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
    "Lines the ranking skips are skipped here too, and the system log says so. A\n"
    "file given twice (by another path or a link) is read once.\n";

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

// The options that take a value, and what that value is, as a complaint names it.
struct ValueOption {
    std::string_view name;
    std::string_view value;
};
constexpr ValueOption kValueOptions[] = {
    {"--since", "a DATE"}, {"--until", "a DATE"}, {"--by", "app, day or title"},
    {"--top", "a number"}, {"--log", "a FILE"},   {"--format", "table, csv or json"},
};

const ValueOption* valueOption(std::string_view name) {
    for (const ValueOption& option : kValueOptions) {
        if (option.name == name) {
            return &option;
        }
    }
    return nullptr;
}

std::optional<std::string> applyValue(std::string_view name, const std::string& value,
                                      ReportOptions& options) {
    const std::string quoted = ", not '" + value + "'";
    if (name == "--since" || name == "--until") {
        std::optional<std::int32_t>& day = name == "--since" ? options.since : options.until;
        day = dayFromIsoDate(value);
        return day ? std::nullopt
                   : std::optional(std::string(name) + " takes a date like 2026-12-01" + quoted);
    }
    if (name == "--by") {
        if (value != "app" && value != "day" && value != "title") {
            return "--by takes app, day or title" + quoted;
        }
        options.grouping = value == "app"   ? Grouping::application
                           : value == "day" ? Grouping::day
                                            : Grouping::title;
    } else if (name == "--top") {
        options.top = positiveNumber(value);
        if (!options.top) {
            return "--top takes a whole number of at least 1" + quoted;
        }
    } else if (name == "--format") {
        if (value != "table" && value != "csv" && value != "json") {
            return "--format takes table, csv or json" + quoted;
        }
        options.format = value == "table" ? ReportFormat::table
                         : value == "csv" ? ReportFormat::csv
                                          : ReportFormat::json;
    } else {
        options.logs.push_back(value);
    }
    return std::nullopt;
}

// Applies args[i], and its value (args[i + 1] unless it says --name=value);
// what is wrong with them, as GNU tools say it.
std::optional<std::string> applyOption(std::span<const std::string> args, std::size_t& i,
                                       ReportOptions& options) {
    const std::string& arg = args[i];
    const std::size_t equals = arg.starts_with("--") ? arg.find('=') : std::string::npos;
    const std::string name = arg.substr(0, equals);
    std::optional<std::string> value;
    if (equals != std::string::npos) {
        value = arg.substr(equals + 1);
    }
    if (const ValueOption* option = valueOption(name)) {
        if (!value && i + 1 < args.size()) {
            value = args[++i];
        }
        // An empty value names nothing, as much as a missing one.
        if (!value || value->empty()) {
            return name + " needs " + std::string(option->value);
        }
        return applyValue(name, *value, options);
    }
    const std::optional<Period> period = periodOf(name);
    if (!period && name != "--help" && name != "-h") {
        return arg.starts_with('-') ? "unrecognized option '" + arg + "'"
                                    : "unexpected argument '" + arg + "'";
    }
    if (value) {
        return name + " takes no value";
    }
    if (period) {
        options.period = period;
    } else {
        options.help = true;
    }
    return std::nullopt;
}

}  // namespace

std::variant<ReportOptions, std::string> parseReportArguments(std::span<const std::string> args) {
    if (args.empty() || args.front() != "report") {
        return std::string("expected report");
    }
    ReportOptions options;
    int ranges = 0;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string name = args[i].substr(0, args[i].find('='));
        ranges += periodOf(name) || name == "--since" ? 1 : 0;
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
        err << "tesuko: " << *problem << '\n' << kTryReportHelp << '\n';
        return 2;
    }
    const ReportOptions& options = std::get<ReportOptions>(parsed);
    if (options.help) {
        out << kUsage << '\n' << kHelp;
        return 0;
    }
    LocalDays localDays;
    auto now = std::chrono::duration_cast<std::chrono::seconds>(
        services.clock.wallNow().time_since_epoch());
    std::int32_t today = localDays.at(now.count()).wall.day;
    DateRange range = options.since ? DateRange{*options.since, options.until.value_or(today) + 1}
                                    : periodRange(options.period.value_or(Period::today), today,
                                                  firstWeekdayOf(services.locale));

    // Each log counted through its own cache; the tray's log, by whatever
    // path, through the tray's, so that forgetting has one cache to clear.
    const std::string trayLog = logPath(services.defaults, services.systemLog, services.home);
    const std::optional<FileIdentity> trayFile = identityOf(services.fileSystem, trayLog);
    std::vector<std::string> paths = options.logs.empty() ? std::vector{trayLog} : options.logs;
    std::string cacheFolder = services.home.cacheFolder();
    std::vector<std::unique_ptr<CachedScanner>> scanners;
    std::vector<const ScanState*> logs;
    std::vector<std::pair<std::string, FileIdentity>> readFiles;
    for (const std::string& given : paths) {
        const std::optional<FileIdentity> file = identityOf(services.fileSystem, given);
        auto same = std::find_if(readFiles.begin(), readFiles.end(), [&](const auto& earlier) {
            return file && earlier.second.sameFile(*file);
        });
        if (same != readFiles.end()) {
            err << "tesuko: " << given << " is the file " << same->first
                << " again: its records count once\n";
            continue;
        }
        const bool tray = given == trayLog || (file && trayFile && file->sameFile(*trayFile));
        const std::string& path = tray ? trayLog : given;
        auto& scanner =
            scanners.emplace_back(std::make_unique<CachedScanner>(services.systemLog, localDays));
        scanner->setCache(std::make_unique<FileTotalsCache>(
            services.fileSystem, services.systemLog,
            tray ? totalsCachePath(cacheFolder) : totalsCachePath(cacheFolder, path)));
        if (auto error = scanner->scan(services.fileSystem, path)) {
            err << "tesuko: cannot read the activity log " << given << ": " << *error << '\n';
            return 1;
        }
        if (file) {
            readFiles.emplace_back(given, *file);
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
            writeTable(view, out);
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
