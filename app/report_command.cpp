// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/report_command.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <utility>

#include "app/option_parser.h"
#include "categories/rules_location.h"
#include "log/log_location.h"
#include "machines/machine_card.h"
#include "machines/machine_folder.h"
#include "ranking/cached_scanner.h"
#include "ranking/totals_cache.h"
#include "report/date_range.h"
#include "report/report_output.h"
#include "report/title_days_cache.h"
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
    "                      | --since DATE [--until DATE]]\n"
    "                      [--by app|day|title|category|machine] [--category PATH]\n"
    "                      [--top N] [--format table|csv|json|json-array|aw-json]\n"
    "                      [--log FILE]... [--machine NAME]\n";

constexpr const char* kTryReportHelp = "Try 'tesuko report --help' for more information.";

constexpr const char* kHelp =
    "Time per application over a range of local calendar days, from the activity\n"
    "log (the one tesuko records, or each --log FILE, read as one).\n"
    "\n"
    "  --today, --yesterday   that day (the default is --today)\n"
    "  --week, --month        the current week (from the locale's first day of the\n"
    "                         week, LC_TIME) or calendar month, up to today\n"
    "  --since DATE           from DATE (2026-12-01) up to --until DATE, both\n"
    "                         included; until today without --until\n"
    "  --by app|day|title|category|machine\n"
    "                         one row per application (the default), per day and\n"
    "                         application, per application and window title, per\n"
    "                         category, each with the time of those below it, or\n"
    "                         per machine (per log, with --log)\n"
    "  --category PATH        only the time in that category and those below it\n"
    "  --top N                only the N largest rows (of each day, by day)\n"
    "  --format table|csv|json|json-array|aw-json\n"
    "                         table: h:mm and share of the range (by day, of each\n"
    "                         day), rounded to add up; csv: RFC 4180, with each\n"
    "                         row's time span (from, to) as ISO 8601 local times with\n"
    "                         their UTC offset; json: {\"from\", \"to\", \"rows\"}, rows\n"
    "                         of application, seconds and, by day or title, day or\n"
    "                         title; json-array: the rows alone; aw-json: an\n"
    "                         ActivityWatch bucket export, an event per interval\n"
    "\n"
    "A range ends at the midnight after its last day: \"to\" in every format is that\n"
    "end, which the range does not include.\n"
    "\n"
    "An interval that crosses midnight is split there, so each day gets the seconds\n"
    "that fell on it. Start times are local wall-clock times without an offset:\n"
    "when the clocks go back, the hour that occurs twice is taken as its first\n"
    "occurrence; a time the clocks skipped is read as if they had not changed yet.\n"
    "Lines the ranking skips are skipped here too, and the system log says so. A\n"
    "file given twice (by another path or a link) is read once.\n"
    "\n"
    "With a shared folder (the sharedFolder setting, see tesuko(1)) and no --log,\n"
    "the report reads every machine's log there, each in its machine's time zone;\n"
    "--machine NAME reads only that machine's (its host name or id).\n"
    "\n"
    "With a rules file ($XDG_CONFIG_HOME/tesuko/rules, see tesuko(1)), applications\n"
    "go by the names its aliases give, and each row names its category.\n";

// The options of `tesuko report`.
struct ReportOptions {
    // A period, or days from since to until (both included).
    std::optional<Period> period;
    std::optional<std::int32_t> since;
    std::optional<std::int32_t> until;
    Grouping grouping = Grouping::application;
    std::optional<std::string> category;
    std::optional<std::size_t> top;
    const ReportFormat* format = &reportFormats().front();
    std::vector<std::string> logs;  // the log the tray records when none
    std::optional<std::string> machine;
    bool help = false;
};

constexpr Option::Value kValue = Option::Value::required;
constexpr Option kReportOptions[] = {{"--today"},
                                     {"--yesterday"},
                                     {"--week"},
                                     {"--month"},
                                     {"--since", kValue},
                                     {"--until", kValue},
                                     {"--by", kValue},
                                     {"--top", kValue},
                                     {"--format", kValue},
                                     {"--log", kValue},
                                     {"--category", kValue},
                                     {"--machine", kValue},
                                     {"--help"},
                                     {"-h"}};

// "table, csv or json"
std::string formatNames() {
    std::string names;
    const std::span<const ReportFormat> formats = reportFormats();
    for (std::size_t i = 0; i < formats.size(); ++i) {
        names += i == 0 ? "" : i + 1 == formats.size() ? " or " : ", ";
        names += formats[i].name;
    }
    return names;
}

std::optional<Period> periodOf(std::string_view name) {
    constexpr std::pair<std::string_view, Period> kPeriods[] = {{"--today", Period::today},
                                                                {"--yesterday", Period::yesterday},
                                                                {"--week", Period::thisWeek},
                                                                {"--month", Period::thisMonth}};
    auto found = std::ranges::find(kPeriods, name, &std::pair<std::string_view, Period>::first);
    return found == std::end(kPeriods) ? std::nullopt : std::optional(found->second);
}

std::optional<std::string> apply(const GivenOption& option, const std::string& home,
                                 ReportOptions& options) {
    const std::string_view name = option.name;
    const std::string value = option.value.value_or("");
    if (name == "--since" || name == "--until") {
        std::optional<std::int32_t>& day = name == "--since" ? options.since : options.until;
        day = dayFromIsoDate(value);
        return day ? std::nullopt : std::optional(invalidValue("date", value, name, "YYYY-MM-DD"));
    }
    if (name == "--by") {
        constexpr std::pair<std::string_view, Grouping> kGroupings[] = {
            {"app", Grouping::application},
            {"day", Grouping::day},
            {"title", Grouping::title},
            {"category", Grouping::category},
            {"machine", Grouping::machine}};
        auto found =
            std::ranges::find(kGroupings, value, &std::pair<std::string_view, Grouping>::first);
        if (found == std::end(kGroupings)) {
            return invalidValue("argument", value, name, "app, day, title, category or machine");
        }
        options.grouping = found->second;
    } else if (name == "--category") {
        options.category = value;
    } else if (name == "--top") {
        return readRowCount(value, options.top);
    } else if (name == "--format") {
        options.format = reportFormatNamed(value);
        if (options.format == nullptr) {
            return invalidValue("argument", value, name, formatNames());
        }
    } else if (name == "--log") {
        options.logs.push_back(fileValue(option, home));
    } else if (name == "--machine") {
        options.machine = value;
    } else if (auto period = periodOf(name)) {
        options.period = period;
    } else {
        options.help = true;
    }
    return std::nullopt;
}

// Reads the arguments after "report" into `options`, or says what is wrong
// with them.
std::optional<std::string> readReportArguments(std::span<const std::string> args,
                                               const std::string& home, ReportOptions& options) {
    int ranges = 0;
    auto problem = parseOptions(args, kReportOptions, [&](const GivenOption& option) {
        ranges += periodOf(option.name) || option.name == "--since" ? 1 : 0;
        return apply(option, home, options);
    });
    if (problem) {
        return problem;
    }
    if (ranges > 1) {
        return "give one of --today, --yesterday, --week, --month, --since";
    }
    if (options.machine && !options.logs.empty()) {
        return "--machine reads the shared folder: give no --log";
    }
    if (options.until && !options.since) {
        return "--until needs --since";
    }
    if (options.since && options.until && *options.until < *options.since) {
        return "--until is before --since";
    }
    return std::nullopt;
}

// Every interval of the logs in the view's range, in time order.
std::optional<std::string> readIntervals(FileSystem& fileSystem,
                                         std::span<const ScanState* const> logs,
                                         std::span<const LocalDays> localDays, ReportView& view) {
    for (std::size_t i = 0; i < logs.size(); ++i) {
        auto error =
            readIntervalParts(fileSystem, *logs[i], view.range, localDays[i],
                              [&](const IntervalPart& part) { view.intervals.push_back(part); });
        if (error) {
            return logs[i]->position.path + ": " + *error;
        }
    }
    // In time order, whatever zone each machine's days are in.
    std::ranges::stable_sort(view.intervals, {}, &IntervalPart::start);
    return std::nullopt;
}

// A log to read, the zone its start times are in, and whose it is.
struct LogToRead {
    std::string path;
    LocalDays localDays;
    std::string machine;
};

// Seconds per machine in the range: largest first.
std::vector<ReportRow> rowsByMachine(std::span<const ScanState* const> logs,
                                     std::span<const std::string> machines,
                                     const DateRange& range) {
    std::vector<ReportRow> rows;
    for (std::size_t i = 0; i < logs.size(); ++i) {
        const double seconds = totalSeconds(rowsByApplication(logs.subspan(i, 1), range));
        if (seconds > 0) {
            rows.push_back({machines[i], 0, {}, seconds});
        }
    }
    sortRows(rows);
    return rows;
}

// Every machine's log in the shared folder (or that of --machine alone),
// each in its machine's zone; nullopt after saying why there is none to read.
std::optional<std::vector<LogToRead>> machineLogs(FileSystem& fileSystem, const std::string& folder,
                                                  const std::optional<std::string>& machine,
                                                  std::ostream& err) {
    const std::optional<MachineFolder> found = readMachineFolder(fileSystem, folder);
    if (!found) {
        err << "tesuko: cannot read the shared folder " << folder << '\n';
        return std::nullopt;
    }
    for (const std::string& problem : found->problems) {
        err << "tesuko: " << problem << '\n';
    }
    const std::optional<std::string> here = thisMachineCard(fileSystem).zone;
    std::vector<LogToRead> logs;
    for (const MachineLog& log : found->logs) {
        if (machine && *machine != log.name && *machine != log.id) {
            continue;
        }
        std::optional<LocalDays> days;
        if (log.zone && log.zone != here && !(days = LocalDays::inZone(*log.zone))) {
            err << "tesuko: " << log.path << ": the time zone " << *log.zone
                << " is unknown here; its times are read in this machine's zone\n";
        }
        logs.push_back({log.path, days.value_or(LocalDays()), log.name});
    }
    if (machine && logs.empty()) {
        err << "tesuko: no machine " << *machine << " in the shared folder " << folder << '\n';
        return std::nullopt;
    }
    return logs;
}

}  // namespace

int runReportCommand(const std::vector<std::string>& args, ReportServices services,
                     std::ostream& out, std::ostream& err) {
    ReportOptions options;
    if (auto problem =
            readReportArguments(std::span(args).subspan(1), services.home.path(), options)) {
        return usageError(err, *problem, kTryReportHelp);
    }
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
    if (!options.since) {
        range.end = std::min(range.end, today + 1);  // a week or month goes on until today
    }

    // Each log counted through its own cache; the tray's log, by whatever
    // path, through the tray's, so that forgetting has one cache to clear.
    const LogLocation trayLocation = logLocationFromSettings(services.defaults, services.systemLog,
                                                             services.home, services.fileSystem);
    const std::string trayLog = trayLocation.path();
    const std::optional<FileIdentity> trayFile = identityOf(services.fileSystem, trayLog);
    if (options.machine && !trayLocation.shared) {
        return usageError(err, "--machine reads the shared folder, and none is set",
                          kTryReportHelp);
    }
    std::optional<std::vector<LogToRead>> paths =
        trayLocation.shared && options.logs.empty()
            ? machineLogs(services.fileSystem, trayLocation.folder, options.machine, err)
            : std::vector<LogToRead>();
    if (!paths) {
        return 1;
    }
    for (const std::string& given :
         options.logs.empty() && !trayLocation.shared ? std::vector{trayLog} : options.logs) {
        paths->push_back({given, localDays, given});
    }
    std::string cacheFolder = services.home.cacheFolder();
    std::vector<std::unique_ptr<CachedScanner>> scanners;
    std::vector<const ScanState*> logs;
    std::vector<std::string> cachePaths;
    std::vector<LocalDays> logDays;
    std::vector<std::pair<std::string, FileIdentity>> readFiles;
    std::vector<std::string> machines;
    for (const auto& [given, givenDays, machine] : *paths) {
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
            scanners.emplace_back(std::make_unique<CachedScanner>(services.systemLog, givenDays));
        const std::string& cachePath = cachePaths.emplace_back(
            tray ? totalsCachePath(cacheFolder) : totalsCachePath(cacheFolder, path));
        scanner->setCache(
            std::make_unique<FileTotalsCache>(services.fileSystem, services.systemLog, cachePath));
        if (auto error = scanner->scan(services.fileSystem, path)) {
            err << "tesuko: cannot read the activity log " << given << ": " << *error << '\n';
            return 1;
        }
        if (file) {
            readFiles.emplace_back(given, *file);
        }
        logs.push_back(&scanner->scanner().state());
        logDays.push_back(givenDays);
        machines.push_back(machine);
    }

    ReportView view{options.grouping, range, {}, 0, {}, {}, services.host};
    const std::string rulesPath = rulesFilePath(services.home);
    LoadedRules loaded = loadRules(services.fileSystem, rulesPath);
    if (loaded.error) {
        err << "tesuko: " << *loaded.error << "; the report goes without rules\n";
    }
    const bool byMachine = options.grouping == Grouping::machine;
    view.categorised = !byMachine && !loaded.rules.empty();
    const bool classify =
        !byMachine &&
        (view.categorised || options.grouping == Grouping::category || options.category);
    if (options.format->listsIntervals) {
        if (auto error = readIntervals(services.fileSystem, logs, logDays, view)) {
            err << "tesuko: cannot read the activity log " << *error << '\n';
            return 1;
        }
    }
    if (classify) {
        Classifier classifier(std::move(loaded.rules));
        std::vector<ClassifiedTitles> titles(logs.size());
        for (std::size_t i = 0; i < logs.size(); ++i) {
            TitleDaysCache cache(services.fileSystem, services.systemLog,
                                 titleDaysCachePath(cachePaths[i]));
            if (auto error = cache.update(*logs[i], logDays[i], classifier, loaded.hash,
                                          {range, options.grouping == Grouping::day}, titles[i])) {
                err << "tesuko: cannot read the activity log " << logs[i]->position.path << ": "
                    << *error << '\n';
                return 1;
            }
        }
        view.rows = classifiedRows(titles, range, options.grouping, options.category);
        for (const RuleProblem& problem : classifier.rules().problems()) {
            err << "tesuko: " << ruleProblemText(rulesPath, problem) << '\n';
        }
    } else if (byMachine) {
        view.rows = rowsByMachine(logs, machines, range);
    } else if (options.grouping == Grouping::title) {
        if (auto error = rowsByTitle(services.fileSystem, logs, range, logDays, view.rows)) {
            err << "tesuko: cannot read the activity log " << *error << '\n';
            return 1;
        }
    } else {
        view.rows = options.grouping == Grouping::day ? rowsByDay(logs, range)
                                                      : rowsByApplication(logs, range);
    }
    view.total = totalSeconds(view.rows);
    if (options.grouping == Grouping::day) {
        view.days = secondsPerDay(view.rows, range);
    }
    if (options.top) {
        keepTop(view.rows, options.grouping, *options.top);
    }
    if (view.rows.empty() && options.format != &reportFormats().front()) {
        err << "tesuko: no records " << exclusiveRangeText(range) << '\n';
    }
    options.format->write(view, localDays, out);
    return 0;
}

}  // namespace tesuko
