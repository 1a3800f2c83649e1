// SPDX-License-Identifier: GPL-3.0-or-later
// `tesuko report` output read back by real parsers (Python's csv and json),
// and its totals against an independent reading of the same logs with
// Python's own time zone rules.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <sstream>

#include "app/report_command.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_home_folder.h"
#include "fakes/fake_system_log.h"
#include "fakes/fake_user_defaults.h"
#include "platform/posix/posix_file_system.h"
#include "support/temp_dir.h"

namespace tesuko {
namespace {

using namespace std::string_literals;

// What the command prints on stdout, run at `now` in Berlin over real files.
std::string report(const TempDir& work, std::vector<std::string> args,
                   std::chrono::system_clock::time_point now) {
    PosixFileSystem files;
    FakeUserDefaults defaults;
    FakeSystemLog systemLog;
    FakeHomeFolder home(work.path());
    FakeClock clock;
    clock.setWall(now);
    std::ostringstream out;
    std::ostringstream err;
    args.insert(args.begin(), "report");
    ::setenv("TZ", "Europe/Berlin", 1);
    ReportServices services{files, defaults, systemLog, home, clock, "de_DE", "pc"};
    EXPECT_EQ(runReportCommand(args, services, out, err), 0) << err.str();
    return out.str();
}

std::string python(const std::string& script) {
    std::string output;
    FILE* pipe = ::popen(("python3 -c '" + script + "'").c_str(), "r");
    for (int c; pipe && (c = std::fgetc(pipe)) != EOF;) {
        output += char(c);
    }
    EXPECT_EQ(pipe ? ::pclose(pipe) : -1, 0) << script;
    return output;
}

const std::string kCheck = TESUKO_SOURCE_DIR "/tests/integration/report_check.py";
const auto kDecember3 = std::chrono::system_clock::from_time_t(1796266800);

// The ActivityWatch export too: every interval, the one from the day before
// from midnight on.
TEST(ReportOutput, CsvAndJsonReadBackByPythonKeepEveryName) {
    TempDir work;
    const std::string log = work / "log.csv";
    writeFile(log,
              "2026年12月02日 23時59分00秒,Say \"hi\",a \"quoted\" title,1,2,90.000000\n"
              "2026年12月03日 09時00分00秒,Say \"hi\",a \"quoted\" title,1,2,30.000000\n"
              "2026年12月03日 10時00分00秒,Tab\there\xFF,x,1,2,30.500000\n");
    for (const char* format : {"csv", "json"}) {
        for (const char* by : {"app", "title"}) {
            writeFile(work / by + "." + format,
                      report(work, {"--log", log, "--format", format, "--by", by}, kDecember3));
        }
    }
    writeFile(work / "aw.json", report(work, {"--log", log, "--format", "aw-json"}, kDecember3));
    const std::string read = python(
        "import csv,json\n"
        "for by in (\"app\", \"title\"):\n"
        "    [print(r) for r in csv.reader(open(\"" +
        work.path() +
        "/\" + by + \".csv\", newline=\"\"))]\n"
        "    j = json.load(open(\"" +
        work.path() +
        "/\" + by + \".json\"))\n"
        "    print(j[\"from\"], j[\"to\"]); [print(sorted(o.items())) for o in j[\"rows\"]]\n"
        "for i, b in json.load(open(\"" +
        work.path() +
        "/aw.json\"))[\"buckets\"].items():\n"
        "    print(i, sorted((k, v) for k, v in b.items() if k != \"events\"))\n"
        "    [print(e[\"timestamp\"], e[\"duration\"], e[\"data\"]) for e in b[\"events\"]]\n");
    EXPECT_EQ(
        read,
        "['from', 'to', 'application', 'seconds']\n"
        "['2026-12-03T00:00:00+01:00', '2026-12-04T00:00:00+01:00', 'Say \"hi\"', '60.000000']\n"
        "['2026-12-03T00:00:00+01:00', '2026-12-04T00:00:00+01:00', 'Tab\\there\uFFFD', "
        "'30.500000']\n"
        "2026-12-03T00:00:00+01:00 2026-12-04T00:00:00+01:00\n"
        "[('application', 'Say \"hi\"'), ('seconds', 60.0)]\n"
        "[('application', 'Tab\\there\uFFFD'), ('seconds', 30.5)]\n"
        "['from', 'to', 'application', 'title', 'seconds']\n"
        "['2026-12-03T00:00:00+01:00', '2026-12-04T00:00:00+01:00', 'Say \"hi\"', "
        "'a \"quoted\" title', '60.000000']\n"
        "['2026-12-03T00:00:00+01:00', '2026-12-04T00:00:00+01:00', 'Tab\\there\uFFFD', 'x', "
        "'30.500000']\n"
        "2026-12-03T00:00:00+01:00 2026-12-04T00:00:00+01:00\n"
        "[('application', 'Say \"hi\"'), ('seconds', 60.0), ('title', 'a \"quoted\" title')]\n"
        "[('application', 'Tab\\there\uFFFD'), ('seconds', 30.5), ('title', 'x')]\n"
        "tesuko_pc [('client', 'tesuko'), ('created', '2026-12-03T00:00:00+01:00'), "
        "('hostname', 'pc'), ('id', 'tesuko_pc'), ('type', 'currentwindow')]\n"
        "2026-12-03T00:00:00+01:00 30.0 {'app': 'Say \"hi\"', 'title': 'a \"quoted\" title'}\n"
        "2026-12-03T09:00:00+01:00 30.0 {'app': 'Say \"hi\"', 'title': 'a \"quoted\" title'}\n"
        "2026-12-03T10:00:00+01:00 30.5 {'app': 'Tab\\there\uFFFD', 'title': 'x'}\n");
}

// Piped to a pager or a file, a table still reaches a terminal.
TEST(ReportOutput, TableShowsControlCharactersAsReplacementsWhereverItGoes) {
    TempDir work;
    const std::string log = work / "log.csv";
    writeFile(log,
              "2026年12月03日 09時00分00秒,N\0L,t,1,2,60.000000\n"
              "2026年12月03日 10時00分00秒,\x1b]0;owned\x07\xC2\x9B,t,1,2,30.000000\n"s);
    EXPECT_EQ(report(work, {"--log", log}, kDecember3),
              "from 2026-12-03 to 2026-12-04 (exclusive)\n   h:mm    share  application\n"
              "   0:01   66.7 %  N\uFFFDL\n"
              "   0:01   33.3 %  \uFFFD]0;owned\uFFFD\uFFFD\n"
              "   0:02  100.0 %  total\n");
}

// Generated logs of two machines over a March with the change to summer
// time, intervals up to two hours so that many cross midnight.
TEST(ReportOutput, WeekAndMonthTotalsEqualAnIndependentReading) {
    TempDir work;
    const std::string logs = work / "a.csv," + work / "b.csv";
    python("import subprocess; subprocess.check_call([\"python3\", \"" + kCheck +
           "\", \"generate\", \"3000\", \"7200\", \"" + work / "a.csv\", \"" + work / "b.csv\"])");
    const auto march31 = std::chrono::system_clock::from_time_t(1490950800);  // a Friday
    const std::pair<std::vector<std::string>, std::string> ranges[] = {
        {{"--week"}, "2017-03-27:2017-04-01"},
        {{"--month"}, "2017-03-01:2017-04-01"},
        {{"--since", "2017-02-10", "--until", "2017-03-26"}, "2017-02-10:2017-03-27"},
    };
    std::string compared;
    for (std::size_t i = 0; i < std::size(ranges); ++i) {
        std::vector<std::string> args = ranges[i].first;
        args.insert(args.end(),
                    {"--log", work / "a.csv", "--log", work / "b.csv", "--format", "json"});
        const std::string json = work / std::to_string(i) + ".json";
        writeFile(json, report(work, args, march31));
        compared += " " + json + ":" + ranges[i].second;
    }
    EXPECT_EQ(python("import subprocess; subprocess.check_call([\"python3\", \"" + kCheck +
                     "\", \"compare\", \"Europe/Berlin\", \"" + logs + "\"] + \"" + compared +
                     "\".split())"),
              "5 [] []\n5 [] []\n5 [] []\n");
}

}  // namespace
}  // namespace tesuko
