// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the activity log back: the ranking, the incremental scanner, the
// report's line reader against it, the totals cache between runs, and --top.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>
#include <sstream>

#include "app/option_parser.h"
#include "app/report_command.h"
#include "app/top_command.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_home_folder.h"
#include "fakes/fake_system_log.h"
#include "fakes/fake_user_defaults.h"
#include "log/line_reader.h"
#include "log/record_fields.h"
#include "log/wall_start.h"
#include "ranking/log.h"
#include "ranking/seconds_text.h"
#include "ranking/totals_cache.h"

namespace tesuko {

namespace {

constexpr const char* kHomeLog = "/home/user/Desktop/TESUKO/log.csv";

// One switch record as the recorder writes it.
std::string record(const std::string& name, const std::string& seconds,
                   const std::string& title = "Report、draft",
                   const std::string& start = "2026年12月05日 13時40分48秒") {
    return start + "," + name + "," + title + ",3,10," + seconds + "\n";
}

std::string lineEnd(std::string record, const char* end) {
    return record.replace(record.size() - 1, 1, end);
}

// A Log over fakes, of the log at `logPath`.
class RankingTest : public ::testing::Test {
  protected:
    FakeFileSystem files;
    FakeUserDefaults defaults;
    FakeSystemLog systemLog;
    FakeHomeFolder home{"/home/user"};
    std::string logPath = kHomeLog;
    Log log{files, systemLog, [this] { return logPath; }};
};

TEST_F(RankingTest, RanksByTotalReadingNamesByPosition) {
    const std::pair<std::string, RankList> cases[] = {
        {record("A", "10") + record("B", "20") + record("A", "10"), {{"A", 20}, {"B", 20}}},
        // An unfinished last line counts; a name holding a comma makes field 5 the key count.
        {record("A", "9") + record("Terminal ", "4") + record("terminal", "2") +
             "x,Foo,Bar,Title,3,10,99.0\n" + "x,A,t,0,0,1",
         {{"A", 10}, {"Foo", 10}, {"Terminal ", 4}, {"terminal", 2}}},
        {record("Bad\xFF", "1") + record("Good", "1.5") + record("Bad\xEF\xBF\xBD", "1"),
         {{"Bad\xEF\xBF\xBD", 2}, {"Good", 1.5}}},
        {"", {}},
        // Old Mac line ends, a lone "\r" ending the file too, among "\r\n" and "\n".
        {lineEnd(record("A", "10"), "\r") + lineEnd(record("B", "20"), "\r\n") + record("A", "10") +
             lineEnd(record("C", "1"), "\r"),
         {{"A", 20}, {"B", 20}, {"C", 1}}},
    };
    for (const auto& [bytes, ranks] : cases) {
        files.addFile(kHomeLog, bytes);
        log.scanLog();
        EXPECT_EQ(log.getRankLog(), ranks) << bytes;
    }
    EXPECT_EQ(log.state().position.lines, 4u) << "the last line ends at its \"\\r\"";
    // The row whose start is "x" counts, but on no day.
    ASSERT_EQ(systemLog.lines.size(), 1u);
    EXPECT_NE(systemLog.lines[0].find("1 record in " + std::string(kHomeLog) +
                                      " has no readable start time, the first at line 4"),
              std::string::npos)
        << systemLog.lines[0];
}

constexpr const char* kLog = "/logs/log.csv";
// Small, so that lines too long to hold are cheap to make.
constexpr std::size_t kLongestLine = 256;

// Pieces of a log that make counting hard: multi-byte and invalid names, damaged
// rows, seconds that are no number, lines too long, other line ends.
std::string samplePiece(std::mt19937& random) {
    const char* names[] = {"Terminal", "ターミナル", "メモ帳", "Bad\xFF", "Bad\xFE", "x"};
    const char* seconds[] = {"12.500000", "0.000001", "-2.000000", "abc", "1e3", "90000.5"};
    const char* starts[] = {"2026年12月05日 13時40分48秒", "2026年12月05日 23時59分30秒",
                            "2026年12月06日 00時00分00秒", "2026年02月30日 10時00分00秒"};
    const unsigned kind = random() % 20;
    std::string piece =
        kind == 0 ? "damaged,row\n"
        : kind == 1
            ? record("Long", "1", std::string(kLongestLine - 50 + random() % 100, 't'))
            : record(names[random() % std::size(names)], seconds[random() % std::size(seconds)],
                     "t", starts[random() % std::size(starts)]);
    // Other line ends: a lone "\r" (an append may end with it) and "\r\n".
    return kind == 2 ? lineEnd(piece, "\r") : kind == 3 ? lineEnd(piece, "\r\n") : piece;
}

TEST(IncrementalScan, EqualsAFullScanAfterAnyAppendsAndChunkSizes) {
    std::mt19937 random(20261205);
    for (std::size_t chunkSize : {1, 7, 64, 200}) {
        std::string bytes;
        for (int i = 0; i < 300; ++i) {
            bytes += samplePiece(random);
        }
        FakeFileSystem files;
        files.addFile(kLog, "");
        FakeSystemLog systemLog;
        LogScanner scanner(systemLog, chunkSize, kLongestLine);
        OwnAppends own;
        // Appends that end anywhere: inside a line, a field, a UTF-8 sequence,
        // between the "\r" and "\n" of a line end.
        for (std::size_t end = 0; end < bytes.size();) {
            std::size_t from = end;
            end = std::min<std::size_t>(end + random() % 400, bytes.size());
            if (std::size_t cr = bytes.rfind("\r\n", end - 1);
                end > from && cr != bytes.npos && cr >= from) {
                end = cr + 1;
            }
            files.append(kLog, std::string_view(bytes).substr(from, end - from), own);
            // Whole, or in parts that say nothing until the last.
            const std::uint64_t part = random() % 2 ? LogScanner::kWholeFile : 1 + random() % 300;
            const std::size_t said = systemLog.lines.size();
            do {
                ASSERT_EQ(systemLog.lines.size(), said) << "before the last part";
                ASSERT_EQ(scanner.scan(files, kLog, own, part), std::nullopt);
            } while (!scanner.caughtUp());
            LogScanner full(systemLog, kLongestLine, kLongestLine);
            full.scan(files, kLog);
            ASSERT_EQ(scanner.ranks(), full.ranks()) << "chunk " << chunkSize << ", " << end;
            ASSERT_EQ(scanner.state().days, full.state().days) << "chunk " << chunkSize;
            ASSERT_EQ(scanner.state().position, full.state().position) << "chunk " << chunkSize;
            // Days come back to the same date over and over here: still one
            // entry per application and day.
            ASSERT_TRUE(DailyTotals::restored(full.state().days.days(), 64)) << end;
        }
    }
}

// The report reads the log again with the plain line reader: on the same
// hostile logs, ending in a lone "\r" or an unfinished line, read in chunks of
// any size, it reads the records the scanner counted, where the scanner found
// them.
TEST(PlainLineReader, ReadsTheRecordsTheScannerCounts) {
    std::mt19937 random(20261207);
    // A chunk a byte shorter ends between its "\r" and "\n".
    const std::string first = lineEnd(record("A", "1"), "\r\n");
    for (std::size_t chunkSize :
         {std::size_t(1), std::size_t(7), first.size() - 1, std::size_t(200)}) {
        std::string bytes = first;
        for (int i = 0; i < 300; ++i) {
            bytes += samplePiece(random);
        }
        const std::string last = record("Last", "5");
        bytes += chunkSize % 2 ? lineEnd(last, "\r") : last.substr(0, last.size() - 1);
        FakeFileSystem files;
        files.addFile(kLog, bytes);
        FakeSystemLog systemLog;
        LogScanner scanner(systemLog, chunkSize, kLongestLine);
        ASSERT_EQ(scanner.scan(files, kLog), std::nullopt);
        ApplicationTotals totals;
        std::set<std::uint64_t> recordsAt;
        std::size_t shortRows = 0;
        auto onLine = [&](std::uint64_t offset, std::string_view line) {
            if (auto fields = recordFields(line)) {
                totals.add(fields->name, secondsFromText(fields->seconds));
                recordsAt.insert(offset);
            } else {
                ++shortRows;
            }
            return true;
        };
        Opened<FileReader> opened = files.openForReading(kLog);
        ASSERT_EQ(forEachLogLine(*opened.file, 0, chunkSize, kLongestLine, onLine), std::nullopt);
        EXPECT_EQ(totals.applications(), scanner.state().totals.applications()) << chunkSize;
        const std::string said = "Skipped " + std::to_string(shortRows) + " rows of fewer";
        EXPECT_TRUE(systemLog.lines.at(0).starts_with(said)) << systemLog.lines.at(0);
        for (const DayTotals& day : scanner.state().days.days()) {
            EXPECT_TRUE(recordsAt.contains(day.firstLine) && recordsAt.contains(day.lastLine))
                << chunkSize;
        }
    }
}

// The start field read the slow, obvious way: the recorder's form with
// digits where it writes them, and a real date and time.
std::optional<WallStart> plainStart(const std::string& text) {
    const std::string form = "0000年00月00日 00時00分00秒";
    if (text.size() != form.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < form.size(); ++i) {
        bool digit = text[i] >= '0' && text[i] <= '9';
        if (form[i] == '0' ? !digit : text[i] != form[i]) {
            return std::nullopt;
        }
    }
    auto number = [&](std::size_t at, std::size_t length) {
        return std::stoi(text.substr(at, length));
    };
    int year = number(0, 4), month = number(7, 2), day = number(12, 2);
    int hour = number(18, 2), minute = number(23, 2), second = number(28, 2);
    if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 59) {
        return std::nullopt;
    }
    return WallStart{dayNumber(year, month, day), hour * 3600 + minute * 60 + second};
}

// Each byte of real start fields changed in turn, to a digit, a byte of the
// form, or anything: one reader, which remembers the last date, reads all
// of them as the obvious reading does.
TEST(StartFields, AreReadAsTheirPlainReadingWhateverTheDamage) {
    std::mt19937 random(20261207);
    const std::string valid[] = {"2026年12月05日 13時40分48秒", "2024年02月29日 23時59分59秒",
                                 "1999年01月01日 00時00分00秒", "2026年12月05日 09時05分07秒"};
    const std::string replacements = "0123456789/: \xE6\x80";
    WallStartReader reader;
    std::size_t checked = 0;
    for (int round = 0; round < 40; ++round) {
        for (const std::string& original : valid) {
            for (std::size_t at = 0; at < original.size(); ++at) {
                std::string damaged = original;
                damaged[at] = random() % 4 == 0 ? char(random())
                                                : replacements[random() % replacements.size()];
                for (const std::string& text : {original, damaged}) {
                    ASSERT_EQ(reader.read(text), plainStart(text)) << text;
                    ++checked;
                }
            }
        }
    }
    EXPECT_EQ(reader.read("2026年12月05日 13時40分48"), std::nullopt);
    EXPECT_EQ(reader.read("2026年12月05日 13時40分48秒 "), std::nullopt);
    EXPECT_GT(checked, 10000u);
}

// The same skipping reads a 2 GB line in little memory (see bench/).
TEST(LongLines, AreSkippedAndSaidOnceTheyEndWhileTheRestCounts) {
    FakeFileSystem files;
    FakeSystemLog systemLog;
    LogScanner scanner{systemLog, 16, kLongestLine};
    const std::string tooLong = record("Long", "4", std::string(2 * kLongestLine, 't'));
    files.addFile(kLog, record("A", "1") + tooLong.substr(0, 3 * kLongestLine / 2));
    scanner.scan(files, kLog);
    EXPECT_EQ(scanner.ranks(), (RankList{{"A", 1}}));
    EXPECT_TRUE(systemLog.lines.empty()) << "not said before the line ends";
    files.rewrite(kLog, record("A", "1") + tooLong + tooLong + record("B", "8"));
    scanner.scan(files, kLog);
    EXPECT_EQ(scanner.ranks(), (RankList{{"B", 8}, {"A", 1}}));
    ASSERT_EQ(systemLog.lines.size(), 1u);
    EXPECT_NE(systemLog.lines[0].find("Skipped 2 lines"), std::string::npos) << systemLog.lines[0];
}

// Runs of the program, one after another, over the same files.
class CachedRankingTest : public RankingTest {
  protected:
    std::unique_ptr<Log> launch(const std::string& cache) {
        auto next = std::make_unique<Log>(files, systemLog, [this] { return logPath; });
        next->setTotalsCache(std::make_unique<FileTotalsCache>(files, systemLog, cache));
        next->scanLog();
        return next;
    }

    const std::string cachePath = totalsCachePath(home.cacheFolder());
};

// A running program counts again what changed; a new run finds its cache stale.
TEST_F(CachedRankingTest, AChangedLogIsCountedAgainAndTheCacheRebuilt) {
    const std::string ab = record("A", "1") + record("B", "2");
    const std::pair<std::function<void()>, RankList> cases[] = {
        // Replaced by a longer file that ends the same way.
        {[&] { files.addFile(kHomeLog, record("Z", "1") + record("B", "2") + record("C", "4")); },
         {{"C", 4}, {"B", 2}, {"Z", 1}}},
        {[&] { files.rewrite(kHomeLog, record("Z", "1")); }, {{"Z", 1}}},
        {[&] { files.rewrite(kHomeLog, record("A", "1") + record("B", "3") + record("C", "4")); },
         {{"C", 4}, {"B", 3}, {"A", 1}}},
        {[&] { logPath = "/other/log.csv"; }, {{"C", 4}, {"B", 2}, {"A", 1}}},
        // Edited out of reach of the check of the bytes before the position.
        {[&] { files.rewrite(kHomeLog, record("Z", "1") + record("B", "2")); },
         {{"B", 2}, {"Z", 1}}},
        // Replaced by a file of the same size that ends the same way, and a
        // cache that names the new file (an inode used again, or a hand edit).
        {[&] {
             files.addFile(kHomeLog, record("Z", "1") + record("B", "2"));
             std::optional<ScanState> state = decodeScanState(files.content(cachePath));
             state->position.file = FakeFileSystem::identityOf(files.regular(kHomeLog));
             files.rewrite(cachePath, encodeScanState(*state));
         },
         {{"B", 2}, {"Z", 1}}},
        // Edited and appended to by another than the recorder.
        {[&] { files.rewrite(kHomeLog, record("Z", "1") + record("B", "2") + record("A", "5")); },
         {{"A", 5}, {"B", 2}, {"Z", 1}}},
    };
    files.addFile("/other/log.csv", ab + record("C", "4"));
    for (const auto& [change, ranks] : cases) {
        logPath = kHomeLog;
        files.addFile(kHomeLog, ab);
        auto running = launch(cachePath);
        change();
        EXPECT_EQ(launch(cachePath)->getRankLog(), ranks);
        files.removeFile("/fresh/totals.cache");
        launch("/fresh/totals.cache");
        EXPECT_EQ(files.content(cachePath), files.content("/fresh/totals.cache")) << "rebuilt";
        running->scanLog();
        EXPECT_EQ(running->getRankLog(), ranks) << "while running";
    }
    EXPECT_TRUE(systemLog.lines.empty()) << "a stale cache is no fault";
}

// Whatever is at the cache path, the menu gets the totals of a full scan and
// the system log one warning at most, however often the menu opens.
TEST_F(CachedRankingTest, AFaultyCacheMeansAFullScanAndOneWarning) {
    auto flip = [&](std::size_t at) {
        std::string bytes = files.content(cachePath);
        bytes[std::min(at, bytes.size() - 1)] ^= 1;
        files.rewrite(cachePath, bytes);
    };
    const std::pair<std::function<void()>, const char*> cases[] = {
        {[&] { files.removeFile(cachePath); }, nullptr},
        {[&] { files.remove(cachePath), files.createDirectories(cachePath); }, "directory"},
        {[&] { files.rewrite(cachePath, std::string(FileTotalsCache::kLargest + 1, '1')); },
         "larger than"},
        {[&] { files.rewrite(cachePath, files.content(cachePath).substr(0, 40)); }, "damaged"},
        {[&] { flip(~std::size_t(0)); }, "damaged"},  // the checksum
        {[&] { flip(files.content(cachePath).size() - 20); }, "damaged"},
        {[&] { flip(files.content(cachePath).find("tesuko-totals-") + 14); }, nullptr},  // version
        {[&] { files.makeReadOnly(cachePath.substr(0, cachePath.rfind('/'))); }, "Permission"},
    };
    for (const auto& [spoil, says] : cases) {
        files = FakeFileSystem{};
        systemLog.lines.clear();
        files.addFile(kHomeLog, record("A", "1") + record("B", "2"));
        launch(cachePath);
        spoil();
        auto log = launch(cachePath);
        EXPECT_EQ(log->getRankLog(), (RankList{{"B", 2}, {"A", 1}})) << says;
        for (const char* seconds : {"4", "8"}) {  // each time a save
            files.rewrite(kHomeLog, files.content(kHomeLog) + record("C", seconds));
            log->scanLog();
        }
        EXPECT_EQ(log->getRankLog(), (RankList{{"C", 12}, {"B", 2}, {"A", 1}})) << says;
        ASSERT_EQ(systemLog.lines.size(), says ? 1u : 0u) << says;
        EXPECT_TRUE(!says || systemLog.lines[0].find(says) != std::string::npos)
            << systemLog.lines[0];
    }
}

// A file given twice, by another path, counts once; the tray's log, by any
// path, goes through the tray's cache, the one that forgetting clears.
TEST_F(RankingTest, AReportReadsEachFileOnceAndTheTraysLogThroughTheTraysCache) {
    files.addFile(kHomeLog, record("A", "60"));
    files.addFile(kLog, record("B", "30"));
    FakeClock clock;
    clock.setWall(std::chrono::sys_days{std::chrono::December / 5 / 2026});
    std::ostringstream out;
    std::ostringstream err;
    const std::string trayLogAgain = "/home/user/Desktop//TESUKO/log.csv";
    EXPECT_EQ(runReportCommand({"report", "--log", kLog, "--log", "//logs/log.csv", "--log",
                                trayLogAgain, "--format", "json-array"},
                               {files, defaults, systemLog, home, clock, "en_US"}, out, err),
              0);
    EXPECT_EQ(out.str(),
              "[\n  {\"application\": \"A\", \"seconds\": 60.000000},\n"
              "  {\"application\": \"B\", \"seconds\": 30.000000}\n]\n");
    EXPECT_EQ(err.str(),
              "tesuko: //logs/log.csv is the file /logs/log.csv again: its records "
              "count once\n");
    EXPECT_TRUE(files.exists(totalsCachePath(home.cacheFolder())));
    EXPECT_FALSE(files.exists(totalsCachePath(home.cacheFolder(), trayLogAgain)));
}

class TopCommandTest : public RankingTest {
  protected:
    TopCommandTest() {
        for (int i = 1; i <= 7; ++i) {
            files.addFile(kHomeLog, files.content(kHomeLog) + record(std::to_string(i), "1e3"));
        }
        files.addFile("/home/user/other.csv", record("Other", "2") + record("More", "1"));
    }
    // The status, then each printed row up to its padding, then the first
    // line on stderr.
    std::string run(std::vector<std::string> args, TopOutput output = TopOutput::pipe) {
        out.str({});
        err.str({});
        std::string result =
            std::to_string(runTopCommand(args, files, defaults, systemLog, home, out, err, output));
        std::istringstream printed(out.str());
        for (std::string line; std::getline(printed, line);) {
            result += "|" + line.substr(0, line.find("  "));
        }
        const std::string said = err.str();
        return said.empty() ? result : result + "|" + said.substr(0, said.find('\n'));
    }

    std::ostringstream out;
    std::ostringstream err;
};

// The command line as GNU tools read it; each mistake said in their words.
TEST_F(TopCommandTest, PrintsTheTopRowsOrSaysWhyNot) {
    files.addFile("/tmp/empty.csv", "");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--top"}, "0|1 : 1|2 : 2|3 : 3|4 : 4|5 : 5"},
        {{"--top", "2"}, "0|1 : 1|2 : 2"},
        {{"--top=2", "--"}, "0|1 : 1|2 : 2"},
        {{"--top", "50"}, "0|1 : 1|2 : 2|3 : 3|4 : 4|5 : 5|6 : 6|7 : 7"},
        {{"--top", "--log", "/home/user/other.csv"}, "0|1 : Other|2 : More"},
        {{"--top", "1", "--log=~/other.csv"}, "0|1 : Other"},
        {{"--top", "--log", "~/other.csv"},
         "1|tesuko: cannot read the activity log ~/other.csv: No such file or directory"},
        {{"--top", "--log=~"}, "1|tesuko: cannot read the activity log /home/user: Is a directory"},
        {{"--top", "--log", "/tmp/empty.csv"},
         "0|tesuko: no records in the activity log /tmp/empty.csv"},
        {{"--top", "0"}, "2|tesuko: invalid number '0' for --top (a whole number of at least 1)"},
        {{"--top=five"},
         "2|tesuko: invalid number 'five' for --top (a whole number of at least 1)"},
        {{"--top", "+3"}, "2|tesuko: invalid number '+3' for --top (a whole number of at least 1)"},
        {{"--top", "3", "4"}, "2|tesuko: unexpected argument '4'"},
        {{"--top", "--", "3"}, "2|tesuko: unexpected argument '3'"},
        {{"--top", "--log"}, "2|tesuko: option '--log' requires an argument"},
        {{"--top", "--log="}, "2|tesuko: option '--log' requires an argument"},
        {{"--top", "--log", "a", "--log", "b"}, "2|tesuko: --top reads one --log"},
        {{"--top", "--verbose"}, "2|tesuko: unrecognized option '--verbose'"},
    };
    for (const auto& [args, expected] : cases) {
        EXPECT_EQ(run(args), expected) << ::testing::PrintToString(args);
        EXPECT_EQ(err.str().ends_with("\n" + std::string(kTryHelp) + "\n"), expected[0] == '2');
    }
}

// A crafted log must not reach the user's terminal as escape sequences.
TEST_F(TopCommandTest, ControlCharactersInNamesPrintAsReplacementsOnATerminal) {
    files.addFile(kHomeLog, record("\x1b]0;owned\x07x\x7f\xC2\x9b", "1"));
    EXPECT_EQ(run({"--top"}, TopOutput::terminal), "0|1 : \uFFFD]0;owned\uFFFDx\uFFFD\uFFFD");
    EXPECT_EQ(run({"--top"}, TopOutput::pipe), "0|1 : \x1b]0;owned\x07x\x7f\xC2\x9b");
}

}  // namespace
}  // namespace tesuko
