#include <cmath>
#include <limits>

#include "tests/unit/ranking_fixture.h"

namespace tesuko {
namespace {

using Ranks = RankList;

TEST_F(RankingTest, TiesKeepFirstAppearanceAndTheFinalLineFeedLogsNothing) {
    files.addFile(kHomeLog,
                  record("A", "10.000000") + record("B", "20.000000") + record("A", "10.000000"));
    EXPECT_EQ(scan(), (Ranks{{"A", 20}, {"B", 20}}));
    EXPECT_TRUE(systemLog.lines.empty());
}

TEST_F(RankingTest, LargerTotalComesFirstWithOrWithoutAFinalLineFeed) {
    std::string bytes = record("A", "10.000000") + record("B", "25.000000") + record("A", "10.0");
    files.addFile(kHomeLog, bytes);
    EXPECT_EQ(scan(), (Ranks{{"B", 25}, {"A", 20}}));

    bytes.pop_back();
    files.addFile(kHomeLog, bytes);
    EXPECT_EQ(scan(), (Ranks{{"B", 25}, {"A", 20}}));
    EXPECT_TRUE(systemLog.lines.empty());
}

TEST_F(RankingTest, EmptyMissingOrFolderGivesNothingAndLogsNothing) {
    EXPECT_TRUE(scan().empty()) << "before the log exists";
    files.addFile(kHomeLog, "");
    EXPECT_TRUE(scan().empty());
    files.addFile(kHomeLog, record("A", "1"));
    EXPECT_EQ(scan().size(), 1u);
    files.remove(kHomeLog);
    EXPECT_TRUE(scan().empty()) << "a log that went away takes its ranking with it";
    EXPECT_TRUE(systemLog.lines.empty());
}

TEST_F(RankingTest, NamesAreExactTextAndReadByPosition) {
    files.addFile(kHomeLog, record("Terminal", "1") + record("terminal", "2") +
                                record("Terminal ", "4") +
                                // a name holding a comma: field 5 is then the key count
                                "2026年12月05日 13時40分48秒,Foo,Bar,Title,3,10,99.0\n");
    EXPECT_EQ(scan(), (Ranks{{"Foo", 10}, {"Terminal ", 4}, {"terminal", 2}, {"Terminal", 1}}));
}

TEST_F(RankingTest, SecondsAreReadAsTheLeadingNumber) {
    files.addFile(kHomeLog, record("A", " \t+1.5e1s") + record("B", "abc") +
                                record("C", "-2.000000") + record("D", "7.25\r"));
    EXPECT_EQ(scan(), (Ranks{{"A", 15}, {"D", 7.25}, {"B", 0}, {"C", -2}}));
}

TEST_F(RankingTest, ShortRowsAreSkippedAndReportedOnceWithTheirCountAndFirstLine) {
    files.addFile(kHomeLog, record("A", "1") + "\n" +                       // blank line 2
                                "2026年12月05日 13時40分48秒,B,t,3,10\n" +  // five fields, line 3
                                record("C", "5", "first half\nsecond half") +  // lines 4 and 5
                                record("A", "2"));
    EXPECT_EQ(scan(), (Ranks{{"A", 3}})) << "later records still count";
    ASSERT_EQ(systemLog.lines.size(), 1u);
    EXPECT_EQ(systemLog.lines[0],
              "Skipped 4 rows of fewer than six fields in /home/user/Desktop/TESUKO/log.csv, the "
              "first at line 2; the other records count.");
}

TEST_F(RankingTest, DamageIsReportedWhenReadNotOnEveryScan) {
    files.addFile(kHomeLog, record("A", "1") + "broken\n");
    scan();
    scan();
    EXPECT_EQ(systemLog.lines.size(), 1u);
    append(kHomeLog, std::string("\n").append(record("A", "1")));
    EXPECT_EQ(scan(), (Ranks{{"A", 2}}));
    ASSERT_EQ(systemLog.lines.size(), 2u);
    EXPECT_NE(systemLog.lines[1].find("Skipped 1 row of fewer than six fields"), std::string::npos);
    EXPECT_NE(systemLog.lines[1].find("line 3;"), std::string::npos);
}

TEST_F(RankingTest, AnUnfinishedShortLastLineIsNotReportedAsDamage) {
    files.addFile(kHomeLog, record("A", "1") + "2026年12月05日 13時40分48秒,B,Ti");
    EXPECT_EQ(scan(), (Ranks{{"A", 1}}));
    EXPECT_TRUE(systemLog.lines.empty()) << "it may be a record being written";
    append(kHomeLog, "tle,0,0,4.0\n");
    EXPECT_EQ(scan(), (Ranks{{"B", 4}, {"A", 1}}));
    EXPECT_TRUE(systemLog.lines.empty());
}

TEST_F(RankingTest, InvalidUtf8InANameReadsAsReplacementCharacters) {
    files.addFile(kHomeLog, record("Bad\xFF", "1") + record("Good", "1.5") +
                                record("Bad\xFE", "1") + record("Bad\xEF\xBF\xBD", "1"));
    EXPECT_EQ(scan(), (Ranks{{"Bad\xEF\xBF\xBD", 3}, {"Good", 1.5}}))
        << "the three spellings read as the same text";
}

TEST_F(RankingTest, TheStoredLocationIsUsedDecodedInFull) {
    files.addFile("/home/user/My Logs/日本/log.csv", record("Stored", "3"));
    files.addFile(kHomeLog, record("Default", "1"));
    EXPECT_EQ(scan(), (Ranks{{"Default", 1}})) << "the default location while none is stored";
    storeLocation("file:///home/user/My%20Logs/%E6%97%A5%E6%9C%AC/log.csv");
    EXPECT_EQ(scan(), (Ranks{{"Stored", 3}}));
}

TEST_F(RankingTest, OverflowedTotalsSortDeterministically) {
    const double inf = std::numeric_limits<double>::infinity();
    files.addFile(kHomeLog,
                  record("Nan1", "1e400") + record("Small", "1") + record("MinusInf", "-1e400") +
                      record("Nan1", "-1e400") + record("Inf", "1e400") + record("Nan2", "-1e400") +
                      record("Negative", "-5") + record("Nan2", "1e400") + record("Big", "1e300"));
    RankList ranks = scan();
    ASSERT_EQ(ranks.size(), 7u);
    EXPECT_EQ(ranks[0], (RankedApplication{"Inf", inf}));
    EXPECT_EQ(ranks[1], (RankedApplication{"Big", 1e300}));
    EXPECT_EQ(ranks[2], (RankedApplication{"Small", 1}));
    EXPECT_EQ(ranks[3], (RankedApplication{"Negative", -5}));
    EXPECT_EQ(ranks[4], (RankedApplication{"MinusInf", -inf}));
    EXPECT_EQ(ranks[5].name, "Nan1");
    EXPECT_TRUE(std::isnan(ranks[5].seconds));
    EXPECT_EQ(ranks[6].name, "Nan2");
}

TEST_F(RankingTest, GetRankLogDoesNotChangeWithoutAScan) {
    EXPECT_TRUE(log.getRankLog().empty()) << "before the first scan";
    files.addFile(kHomeLog, record("A", "1"));
    RankList first = scan();
    append(kHomeLog, record("B", "5"));
    EXPECT_EQ(log.getRankLog(), first);
    EXPECT_EQ(log.getRankLog(), first);
}

}  // namespace
}  // namespace tesuko
