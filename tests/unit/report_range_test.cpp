// SPDX-License-Identifier: GPL-3.0-or-later
// Reports over ranges of local days: intervals split at midnight (and so at
// range edges), days that the clocks change, weeks in two locales, several
// logs, empty ranges and damaged lines, through `tesuko report`.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <optional>
#include <sstream>
#include <tuple>

#include "app/report_command.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_home_folder.h"
#include "fakes/fake_system_log.h"
#include "fakes/fake_user_defaults.h"
#include "ranking/log_scanner.h"
#include "ranking/totals_cache.h"
#include "report/report_rows.h"
#include "report/title_days_cache.h"
#include "tests/scoped_env.h"

namespace tesuko {
namespace {

constexpr const char* kLog = "/home/user/Desktop/TESUKO/log.csv";

// "2026-03-08 01:30:00" in the log's own form.
std::string line(const std::string& when, const std::string& app, double seconds,
                 const std::string& title = "t") {
    int y, mo, d, h, mi, s;
    std::sscanf(when.c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s);
    char text[160];
    std::snprintf(text, sizeof text, "%04d年%02d月%02d日 %02d時%02d分%02d秒,%s,%s,1,2,%.6f\n", y,
                  mo, d, h, mi, s, app.c_str(), title.c_str(), seconds);
    return text;
}

// Rows by day as "date app seconds" lines.
std::string byDay(const std::string& log, const std::string& since, const std::string& until) {
    FakeFileSystem files;
    FakeSystemLog systemLog;
    files.addFile(kLog, log);
    LogScanner scanner(systemLog, LocalDays());
    scanner.scan(files, kLog);
    const ScanState* logs[] = {&scanner.state()};
    std::string out;
    for (const ReportRow& row :
         rowsByDay(logs, {*dayFromIsoDate(since), *dayFromIsoDate(until) + 1})) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%g", row.seconds);
        out += isoDate(row.day) + " " + row.application + " " + seconds + "\n";
    }
    return out;
}

// New York: clocks forward 2026-03-08 02:00 (a 23-hour day), back 2026-11-01
// 02:00 (25 hours). The zone comes from TZ, as on the user's machine.
TEST(ReportDays, IntervalsAreSplitAtMidnightsInTheLocalZone) {
    const ScopedEnv zone("TZ", "America/New_York");
    // What, the log, the range, and its rows by day.
    const std::tuple<const char*, std::string, const char*, const char*, const char*> cases[] = {
        {"midnight", line("2026-12-04 23:50:00", "A", 1200), "2026-12-04", "2026-12-05",
         "2026-12-04 A 600\n2026-12-05 A 600\n"},
        {"range edges", line("2026-12-03 23:00:00", "A", 30 * 3600), "2026-12-04", "2026-12-04",
         "2026-12-04 A 86400\n"},
        {"before the gap", line("2026-03-08 01:30:00", "A", 80000), "2026-03-07", "2026-03-09",
         "2026-03-08 A 77400\n2026-03-09 A 2600\n"},
        {"in the gap: as if the clocks had not changed", line("2026-03-08 02:30:00", "A", 80000),
         "2026-03-08", "2026-03-09", "2026-03-08 A 73800\n2026-03-09 A 6200\n"},
        {"into the short day", line("2026-03-07 23:00:00", "A", 3 * 3600), "2026-03-07",
         "2026-03-08", "2026-03-07 A 3600\n2026-03-08 A 7200\n"},
        {"repeated hour: its first occurrence", line("2026-11-01 01:30:00", "A", 88000),
         "2026-11-01", "2026-11-02", "2026-11-01 A 84600\n2026-11-02 A 3400\n"},
        {"days apart, several applications",
         line("2026-12-01 10:00:00", "B", 60) + line("2026-12-01 11:00:00", "A", 30) +
             line("2026-12-02 09:00:00", "A", 5) + line("2026-12-01 12:00:00", "B", 40),
         "2026-11-01", "2026-12-31", "2026-12-01 B 100\n2026-12-01 A 30\n2026-12-02 A 5\n"},
        {"empty range", line("2026-12-01 10:00:00", "A", 60), "2026-12-02", "2026-12-03", ""},
    };
    for (const auto& [what, log, since, until, expected] : cases) {
        EXPECT_EQ(byDay(log, since, until), expected) << what;
    }
}

// `tesuko report` over fakes, on Thursday 2026-12-03 at noon, in Tokyo.
class ReportCommandTest : public ::testing::Test {
  protected:
    ReportCommandTest() { clock.setWall(std::chrono::system_clock::from_time_t(1796266800)); }

    const ScopedEnv zone{"TZ", "Asia/Tokyo"};

    std::string run(std::vector<std::string> args, const std::string& locale = "en_US") {
        out.str({});
        err.str({});
        args.insert(args.begin(), "report");
        ReportServices services{files, defaults, systemLog, home, clock, locale};
        int status = runReportCommand(args, services, out, err);
        return std::to_string(status) + "|" + out.str() + err.str().substr(0, err.str().find('\n'));
    }

    FakeFileSystem files;
    FakeUserDefaults defaults;
    FakeSystemLog systemLog;
    FakeHomeFolder home{"/home/user"};
    FakeClock clock;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(ReportCommandTest, RangesLocalesLogsAndDamagedLinesInTheTable) {
    files.addFile(kLog, line("2026-11-29 10:00:00", "Sunday", 3600) +
                            line("2026-12-03 09:00:00", "Editor", 5400) + "damaged,row\n" +
                            line("2026-12-03 23:30:00", "Editor", 3600) +
                            line("2026-12-06 10:00:00", "Sunday", 1800));
    files.addFile("/home/user/other.csv", line("2026-12-03 08:00:00", "Editor", 600) +
                                              line("2026-12-03 08:10:00", "Mail", 1200));
    files.addFile("/home/user/thirds.csv", line("2026-12-03 08:00:00", "A", 40) +
                                               line("2026-12-03 08:01:00", "B", 40) +
                                               line("2026-12-03 08:02:00", "C", 40));
    const std::string kHeader = "   h:mm    share  application\n";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{},
         "0|from 2026-12-03 to 2026-12-04 (exclusive)\n" + kHeader +
             "   2:00  100.0 %  Editor\n   2:00  100.0 %  total\n"},
        // The week so far: neither Sunday the 6th nor Editor's half hour past midnight.
        {{"--week"},
         "0|from 2026-11-29 to 2026-12-04 (exclusive)\n" + kHeader +
             "   2:00   66.7 %  Editor\n   1:00   33.3 %  Sunday\n"
             "   3:00  100.0 %  total\n"},
        // Rounded apart, three 40-second rows would add up to 0:03 and 99.9 %.
        {{"--log=~/thirds.csv"},
         "0|from 2026-12-03 to 2026-12-04 (exclusive)\n" + kHeader +
             "   0:01   33.4 %  A\n   0:01   33.3 %  B\n"
             "   0:00   33.3 %  C\n   0:02  100.0 %  total\n"},
        {{"--log", kLog, "--log=~/other.csv", "--today", "--top=1"},
         "0|from 2026-12-03 to 2026-12-04 (exclusive)\n" + kHeader +
             "   2:10   86.7 %  Editor\n   2:30  100.0 %  total\n"},
        {{"--since", "2026-12-04"},
         "0|from 2026-12-04 to 2026-12-04 (exclusive)\nno records in this range\n"},
        {{"--since", "2026-12-04", "--until", "2026-12-06", "--by", "day"},
         "0|from 2026-12-04 to 2026-12-07 (exclusive)\n" + kHeader +
             "2026-12-04\n   0:30  100.0 %  Editor\n2026-12-06\n"
             "   0:30  100.0 %  Sunday\n   1:00  100.0 %  total\n"},
        {{"--yesterday"},
         "0|from 2026-12-02 to 2026-12-03 (exclusive)\nno records in this range\n"},
        {{"--log", "/missing.csv"},
         "1|tesuko: cannot read the activity log /missing.csv: No such file or directory"},
        {{"--week", "--month"},
         "2|tesuko: give one of --today, --yesterday, --week, --month, --since"},
        {{"--until", "2026-12-01"}, "2|tesuko: --until needs --since"},
        {{"--since", "2026-12-05", "--until", "2026-12-01"}, "2|tesuko: --until is before --since"},
        {{"--since=2026-02-30"}, "2|tesuko: invalid date '2026-02-30' for --since (YYYY-MM-DD)"},
        {{"--by", "week"},
         "2|tesuko: invalid argument 'week' for --by (app, day, title, category or machine)"},
        {{"--format=xml"},
         "2|tesuko: invalid argument 'xml' for --format (table, csv, json, json-array or aw-json)"},
        {{"--top", "0"}, "2|tesuko: invalid number '0' for --top (a whole number of at least 1)"},
        {{"--today=yes"}, "2|tesuko: option '--today' doesn't allow an argument"},
    };
    for (const auto& [args, expected] : cases) {
        EXPECT_EQ(run(args), expected) << ::testing::PrintToString(args) << err.str();
    }
    EXPECT_EQ(run({"--week"}, "de_DE"), "0|from 2026-11-30 to 2026-12-04 (exclusive)\n" + kHeader +
                                            "   2:00  100.0 %  Editor\n   2:00  100.0 %  total\n");
    ASSERT_FALSE(systemLog.lines.empty());
    EXPECT_NE(systemLog.lines[0].find("Skipped 1 row of fewer than six fields"), std::string::npos)
        << systemLog.lines[0];
}

// With a rules file, names go by its aliases and time into categories whose
// sums roll up; a broken line is said where it is and the others apply.
TEST_F(ReportCommandTest, RulesNameApplicationsAndPutTimeInCategoriesThatRollUp) {
    files.addFile(kLog, line("2026-12-03 09:00:00", "org.mozilla.firefox", 1800, "tesuko docs") +
                            line("2026-12-03 09:30:00", "Mail", 900, "Inbox") +
                            line("2026-12-03 09:45:00", "Editor", 3600, "main.cpp - tesuko") +
                            line("2026-12-03 10:45:00", "firefox-esr", 1200, "Video") +
                            line("2026-12-03 11:05:00", "Shell", 600, "bash"));
    files.addFile("/home/user/.config/tesuko/rules",
                  "alias /^(org\\.mozilla\\.)?firefox/ = Firefox\n"
                  "Work/Code = title TESUKO\nWork/Mail = app mail\nWork = app /(/\n");
    const std::string kRange = "0|from 2026-12-03 to 2026-12-04 (exclusive)\n";
    const std::string kBroken =
        "tesuko: /home/user/.config/tesuko/rules:4:14: the regular expression is not valid: "
        "U_REGEX_MISMATCHED_PAREN";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--by", "category"},
         kRange +
             "   h:mm    share  category\n   1:45   77.8 %  Work\n   1:30   66.7 %    Code\n"
             "   0:15   11.1 %    Mail\n   0:30   22.2 %  Uncategorized\n"
             "   2:15  100.0 %  total\n" +
             kBroken},
        {{"--category=Work", "--top=2"},
         kRange +
             "   h:mm    share  application (category)\n   1:00   57.1 %  Editor (Work/Code)\n"
             "   0:30   28.6 %  Firefox (Work/Code)\n   1:45  100.0 %  total\n" +
             kBroken},
        {{"--by=category", "--format=json-array", "--top=1"},
         "0|[\n  {\"category\": \"Work\", \"seconds\": 6300.000000},\n  {\"category\": "
         "\"Work/Code\", \"seconds\": 5400.000000},\n  {\"category\": \"Work/Mail\", "
         "\"seconds\": 900.000000}\n]\n" +
             kBroken},
    };
    for (const auto& [args, expected] : cases) {
        EXPECT_EQ(run(args), expected) << ::testing::PrintToString(args) << err.str();
    }
}

// With a shared folder, every machine's log, each split into days in its own
// zone: London's 29 March 2026 is an hour short.
TEST_F(ReportCommandTest, ASharedFolderIsReadAsOneLogPerMachine) {
    defaults.set("sharedFolder", "/sync");
    files.addFile("/etc/machine-id", "m1");
    files.addFile("/sync/34104c0332640cc9.csv", line("2026-12-03 09:00:00", "Editor", 3600));
    files.addFile("/sync/34104c0332640cc9.machine", "name=desk\nzone=Asia/Tokyo\n");
    files.addFile("/sync/b.csv", line("2026-03-29 00:30:00", "Mail", 86400) +
                                     line("2026-12-03 01:00:00", "Mail", 1800));
    files.addFile("/sync/b.machine", "name=laptop\nzone=Europe/London\n");
    const std::string kHeader = "   h:mm    share  application\n";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{},
         "0|from 2026-12-03 to 2026-12-04 (exclusive)\n" + kHeader +
             "   1:00   66.7 %  Editor\n   0:30   33.3 %  Mail\n   1:30  100.0 %  total\n"},
        {{"--by=machine"},
         "0|from 2026-12-03 to 2026-12-04 (exclusive)\n   h:mm    share  machine\n"
         "   1:00   66.7 %  desk\n   0:30   33.3 %  laptop\n   1:30  100.0 %  total\n"},
        {{"--by=machine", "--format=json-array"},
         "0|[\n  {\"machine\": \"desk\", \"seconds\": 3600.000000},\n  {\"machine\": "
         "\"laptop\", \"seconds\": 1800.000000}\n]\n"},
        {{"--machine=laptop", "--since=2026-03-29", "--until=2026-03-30", "--by=day"},
         "0|from 2026-03-29 to 2026-03-31 (exclusive)\n" + kHeader +
             "2026-03-29\n  22:30  100.0 %  Mail\n2026-03-30\n   1:30  100.0 %  Mail\n"
             "  24:00  100.0 %  total\n"},
        // Each log's days and start times in its own machine's zone.
        {{"--machine=laptop", "--since=2026-03-29", "--until=2026-03-29", "--by=title"},
         "0|from 2026-03-29 to 2026-03-30 (exclusive)\n   h:mm    share  application — title\n"
         "  22:30  100.0 %  Mail — t\n  22:30  100.0 %  total\n"},
        {{"--machine=laptop", "--format=aw-json"},
         "0|{\"buckets\": {\"tesuko_\": {\"id\": \"tesuko_\", \"type\": \"currentwindow\", "
         "\"client\": \"tesuko\", \"hostname\": \"\", \"created\": \"2026-12-03T10:00:00+09:00\", "
         "\"events\": [\n  {\"timestamp\": \"2026-12-03T10:00:00+09:00\", \"duration\": "
         "1800.000000, \"data\": {\"app\": \"Mail\", \"title\": \"t\"}}\n]}}}\n"},
        {{"--machine", "34104c0332640cc9"},
         "0|from 2026-12-03 to 2026-12-04 (exclusive)\n" + kHeader +
             "   1:00  100.0 %  Editor\n   1:00  100.0 %  total\n"},
        {{"--machine=pc"}, "1|tesuko: no machine pc in the shared folder /sync/"},
        {{"--machine=pc", "--log=/a.csv"},
         "2|tesuko: --machine reads the shared folder: give no --log"},
    };
    for (const auto& [args, expected] : cases) {
        EXPECT_EQ(run(args), expected) << ::testing::PrintToString(args) << err.str();
    }
}

// The zone is the one the recorder writes in, whatever form TZ gives it:
// at 23:30 UTC on 2026-12-03 it is already the 4th east of London. The month
// ends there, at the end of today.
TEST_F(ReportCommandTest, TheZoneIsTheOneTheRecorderWritesInInEveryFormOfTz) {
    clock.setWall(std::chrono::sys_days{std::chrono::December / 3 / 2026} +
                  std::chrono::minutes(23 * 60 + 30));
    files.addFile(kLog, line("2026-12-04 00:10:00", "Editor", 60));
    const std::pair<const char*, std::string> cases[] = {
        {"XYZ-5:30", "2026-12-01T00:00:00+05:30,2026-12-05T00:00:00+05:30,Editor,60.000000\r\n"},
        {"CET-1CEST,M3.5.0,M10.5.0/3",
         "2026-12-01T00:00:00+01:00,2026-12-05T00:00:00+01:00,"
         "Editor,60.000000\r\n"},
        {"<+0330>-3:30",
         "2026-12-01T00:00:00+03:30,2026-12-05T00:00:00+03:30,Editor,"
         "60.000000\r\n"},
        {"UTC0", "tesuko: no records from 2026-12-01 to 2026-12-04 (exclusive)"},
    };
    for (const auto& [tz, row] : cases) {
        const ScopedEnv zone("TZ", tz);
        EXPECT_EQ(run({"--month", "--format", "csv"}), "0|from,to,application,seconds\r\n" + row)
            << tz;
    }
}

// A second report starts from the cache the first saved (the tray's, for its
// log): doctored totals there show.
TEST_F(ReportCommandTest, ASecondReportStartsFromTheTraysCache) {
    files.addFile(kLog, line("2026-12-03 09:00:00", "Editor", 60));
    run({});
    const std::string cache = totalsCachePath(home.cacheFolder());
    std::optional<ScanState> state = decodeScanState(files.content(cache));
    ASSERT_TRUE(state);
    std::vector<DayTotals> days(state->days.days().begin(), state->days.days().end());
    std::vector<ApplicationSeconds> doctored(days.at(0).applications.begin(),
                                             days.at(0).applications.end());
    doctored.at(0).seconds = 120;
    days.at(0).applications = doctored;
    state->days = *DailyTotals::restored(days, 1);
    files.rewrite(cache, encodeScanState(*state));
    EXPECT_EQ(run({"--format", "json-array"}),
              "0|[\n  {\"application\": \"Editor\", \"seconds\": 120.000000}\n]\n");
}

// A report by the rules takes the windows per day from the cache the last one
// saved (doctored here to twice the time) while the log only grew, and the
// rules from it while the rules file is the same; a log edited in place, or a
// cache that is damaged or of another version, is read whole again.
TEST_F(ReportCommandTest, CategoryReportsKeepTheWindowsOfTheLogInACache) {
    const std::string kRules = "/home/user/.config/tesuko/rules";
    const std::string cache = titleDaysCachePath(totalsCachePath(home.cacheFolder()));
    auto rows = [](const char* category, const char* seconds) {
        return std::string("0|[\n  {\"category\": \"") + category + "\", \"seconds\": " + seconds +
               ".000000}\n]\n";
    };
    const std::tuple<const char*, std::function<void()>, std::string, int> cases[] = {
        {"unchanged", [] {}, rows("Work", "120"), 0},
        {"appended",
         [&] {
             files.rewrite(kLog, files.content(kLog) + line("2026-12-03 10:00:00", "Editor", 30));
         },
         rows("Work", "150"), 0},
        {"edited in place", [&] { files.rewrite(kLog, line("2026-12-03 09:00:00", "Editor", 61)); },
         rows("Work", "61"), 0},
        {"rules changed", [&] { files.rewrite(kRules, "Play = app editor\n"); },
         rows("Play", "120"), 0},
        {"other version", [&] { files.rewrite(cache, "tesuko-titles-0\n"); }, rows("Work", "60"),
         0},
        {"damaged",
         [&] {
             std::string bytes = files.content(cache);
             bytes[bytes.size() / 2] ^= 1;
             files.rewrite(cache, bytes);
         },
         rows("Work", "60"), 1},
        {"days damaged",
         [&] {
             std::string bytes = files.content(cache);
             bytes.back() ^= 1;
             files.rewrite(cache, bytes);
         },
         rows("Work", "60"), 1},
    };
    for (const auto& [what, change, expected, warnings] : cases) {
        files.remove("/home/user");
        files.addFile(kLog, line("2026-12-03 09:00:00", "Editor", 60));
        files.addFile(kRules, "Work = app editor\n");
        run({});
        std::optional<ClassifiedTitles> saved = decodeClassifiedTitles(files.content(cache));
        ASSERT_TRUE(saved) << what;
        std::vector<PairSeconds> doubled = saved->days.entries();
        doubled.at(0).seconds *= 2;
        std::vector<TitlePair> pairs = saved->days.pairs();
        saved->days.restore(pairs, doubled);
        files.rewrite(cache, encodeClassifiedTitles(*saved));
        systemLog.lines.clear();
        systemLog.priorities.clear();
        change();
        EXPECT_EQ(run({"--by=category", "--format=json-array"}), expected) << what;
        EXPECT_EQ(systemLog.said("windows cache"), warnings) << what;
    }
}

// While the recorder appends, a report by the rules reads the new lines on
// top of the windows cache and leaves it as it is, until the log has grown by
// a megabyte since it was saved.
TEST_F(ReportCommandTest, TheWindowsCacheIsSavedAgainOnlyOnceTheLogGrewByAMegabyte) {
    const std::string cache = titleDaysCachePath(totalsCachePath(home.cacheFolder()));
    auto report = [&] { return run({"--by=category", "--format=csv"}); };
    files.addFile(kLog, line("2026-12-03 09:00:00", "Editor", 60));
    files.addFile("/home/user/.config/tesuko/rules", "Work = app editor\n");
    report();
    const std::string saved = files.content(cache);

    files.rewrite(kLog, files.content(kLog) + line("2026-12-03 09:30:00", "Editor", 30));
    EXPECT_NE(report().find("Work,90.000000"), std::string::npos) << out.str();
    EXPECT_EQ(files.content(cache), saved);

    std::string more;
    for (int second = 0; second < 20000; ++second) {
        char when[32];
        std::snprintf(when, sizeof when, "2026-12-03 %02d:%02d:%02d", 10 + second / 3600,
                      second / 60 % 60, second % 60);
        more += line(when, "Editor", 1);
    }
    files.rewrite(kLog, files.content(kLog) + more);
    EXPECT_NE(report().find("Work,20090.000000"), std::string::npos) << out.str();
    EXPECT_NE(files.content(cache), saved);
}

}  // namespace
}  // namespace tesuko
