#include <functional>
#include <random>

#include "ranking/log_scanner.h"
#include "tests/unit/ranking_fixture.h"

namespace tesuko {
namespace {

constexpr const char* kLog = "/logs/log.csv";
// Small enough for the sample log to hold lines that are skipped as too long.
constexpr std::size_t kLongestLine = 256;

// A log with what makes counting hard: multi-byte names, damaged rows,
// invalid UTF-8, seconds that do not begin with a number, lines too long.
std::string sampleLog(std::mt19937& random, int records) {
    const char* names[] = {"Terminal", "ターミナル", "Editor", "メモ帳", "Bad\xFF", "Bad\xFE", "x"};
    const char* seconds[] = {"12.500000", "0.000001", "3600.000000", "-2.000000", "abc", "1e3"};
    std::string bytes;
    for (int i = 0; i < records; ++i) {
        switch (random() % 20) {
            case 0:
                bytes += "\n";
                break;
            case 1:
                bytes += "damaged,row\n";
                break;
            case 2:
                bytes += record("Long", "1", std::string(kLongestLine - 50 + random() % 100, 't'));
                break;
            default:
                bytes += record(names[random() % std::size(names)],
                                seconds[random() % std::size(seconds)]);
        }
    }
    return bytes;
}

RankList fullScan(FakeFileSystem& files) {
    FakeSystemLog quiet;
    LogScanner scanner(quiet, kLongestLine, kLongestLine);
    scanner.scan(files, kLog);
    return scanner.ranks();
}

TEST(IncrementalScan, EqualsAFullRescanAfterAnyAppendsAndChunkSizes) {
    std::mt19937 random(20261205);
    for (std::size_t chunkSize : {1, 7, 64, 200}) {
        std::string bytes = sampleLog(random, 300);
        FakeFileSystem files;
        files.addFile(kLog, "");
        FakeSystemLog systemLog;
        LogScanner scanner(systemLog, chunkSize, kLongestLine);
        std::size_t appended = 0;
        while (appended < bytes.size()) {
            // Pieces that end anywhere: inside a line, a field, a UTF-8 sequence.
            std::size_t piece = std::min<std::size_t>(random() % 400, bytes.size() - appended);
            appended += piece;
            files.rewrite(kLog, bytes.substr(0, appended));
            ASSERT_EQ(scanner.scan(files, kLog), std::nullopt);
            ASSERT_EQ(scanner.ranks(), fullScan(files))
                << "chunk size " << chunkSize << ", after " << appended << " bytes";
        }
    }
}

class ScanCounting : public ::testing::Test {
  protected:
    ScanCounting() { files.addFile(kLog, record("A", "1") + record("B", "2")); }

    RankList scan() {
        files.bytesRead = 0;
        scanner.scan(files, kLog);
        return scanner.ranks();
    }

    FakeFileSystem files;
    FakeSystemLog systemLog;
    LogScanner scanner{systemLog};
};

TEST_F(ScanCounting, ReadsOnlyWhatWasAppended) {
    scan();
    std::string more = record("A", "5");
    files.rewrite(kLog, files.content(kLog) + more);
    EXPECT_EQ(scan(), (RankList{{"A", 6}, {"B", 2}}));
    EXPECT_EQ(files.bytesRead, more.size() + ReadPosition::kCheckedBytes)
        << "the appended record and the bytes checked before it";
}

TEST_F(ScanCounting, ReadsAnUnfinishedLineAgainUntilItEnds) {
    scan();
    std::string more = record("C", "9");
    files.rewrite(kLog, files.content(kLog) + more.substr(0, more.size() - 1));
    EXPECT_EQ(scan(), (RankList{{"C", 9}, {"B", 2}, {"A", 1}}));
    files.rewrite(kLog, files.content(kLog) + "\n");
    EXPECT_EQ(scan(), (RankList{{"C", 9}, {"B", 2}, {"A", 1}})) << "counted once, not twice";
}

TEST(LongLines, AreSkippedAndSaidOnceTheyEndWhileTheRestCounts) {
    FakeFileSystem files;
    FakeSystemLog systemLog;
    LogScanner scanner(systemLog, 16, kLongestLine);
    const std::string fits = record("Fits", "2", std::string(kLongestLine - 60, 't'));
    const std::string tooLong = record("Long", "4", std::string(2 * kLongestLine, 't'));
    files.addFile(kLog, record("A", "1") + fits + tooLong.substr(0, 3 * kLongestLine / 2));
    scanner.scan(files, kLog);
    EXPECT_EQ(scanner.ranks(), (RankList{{"Fits", 2}, {"A", 1}}));
    EXPECT_TRUE(systemLog.lines.empty()) << "not said before the line ends";

    files.rewrite(kLog, record("A", "1") + fits + tooLong + tooLong + record("B", "8"));
    scanner.scan(files, kLog);
    EXPECT_EQ(scanner.ranks(), (RankList{{"B", 8}, {"Fits", 2}, {"A", 1}}));
    EXPECT_EQ(systemLog.lines,
              std::vector<std::string>{"Skipped 2 lines of 256 bytes or more in " +
                                       std::string(kLog) + "; the other records count."});
}

TEST_F(ScanCounting, ReadsWholeAgainWhenTheFileChanged) {
    struct Case {
        const char* what;
        std::function<void(FakeFileSystem&)> change;
        RankList ranks;
    };
    const Case cases[] = {
        {"replaced by another file",
         [](FakeFileSystem& f) { f.addFile(kLog, f.content(kLog) + record("C", "1")); },
         {{"B", 2}, {"A", 1}, {"C", 1}}},
        {"shrank", [](FakeFileSystem& f) { f.rewrite(kLog, record("Z", "1")); }, {{"Z", 1}}},
        {"changed before the point read to",
         [](FakeFileSystem& f) {
             f.rewrite(kLog, record("A", "1") + record("B", "3") + record("C", "1"));
         },
         {{"B", 3}, {"A", 1}, {"C", 1}}},
        // Out of reach of the check of the bytes before the position.
        {"edited far from the end, at the same size",
         [](FakeFileSystem& f) { f.rewrite(kLog, record("Z", "1") + record("B", "2")); },
         {{"B", 2}, {"Z", 1}}},
    };
    for (const Case& c : cases) {
        files.addFile(kLog, record("A", "1") + record("B", "2"));
        scan();
        c.change(files);
        EXPECT_EQ(scan(), c.ranks) << c.what;
        EXPECT_GE(files.bytesRead, files.content(kLog).size()) << c.what;
    }
}

TEST_F(ScanCounting, AFailedReadEmptiesTheRankingSaysSoAndStartsOverNextTime) {
    scan();
    files.failReads = true;
    EXPECT_EQ(scanner.scan(files, kLog), "the file could not be read to its end");
    EXPECT_TRUE(scanner.ranks().empty());
    ASSERT_EQ(systemLog.lines.size(), 1u);
    EXPECT_EQ(
        systemLog.lines[0],
        "Could not read the activity log /logs/log.csv to its end; the ranking is empty until "
        "it can be read.");
    files.failReads = false;
    EXPECT_EQ(scan(), (RankList{{"B", 2}, {"A", 1}}));
    EXPECT_EQ(files.bytesRead, files.content(kLog).size());
}

}  // namespace
}  // namespace tesuko
