#include <gtest/gtest.h>

#include <string>

#include "ranking/rank_rows.h"

namespace tesuko {
namespace {

std::string spaces(std::size_t count) {
    return std::string(count, ' ');
}

std::string repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

TEST(RankRowTitles, PadsTheNameToFortyShiftJisBytes) {
    const std::string fullWidth20 = repeat("日", 20);
    struct Case {
        const char* what;
        std::string name;
        std::size_t filler;
    };
    const Case cases[] = {
        {"ASCII, one byte each", "Terminal", 32},
        {"full-width, two bytes each", "ターミナル", 30},
        {"half-width katakana, one byte each", "ﾀｰﾐﾅﾙ", 35},
        {"twenty full-width characters fill the column", fullWidth20, 0},
        {"wider than the column", fullWidth20 + "x", 0},
        {"an emoji has no Shift-JIS form: width 0", "Chat \xF0\x9F\x98\x80", 40},
        {"nor has the replacement character", "Bad\xEF\xBF\xBD", 40},
        {"nor U+301C, though U+FF5E has", "a\xE3\x80\x9C", 40},
        {"an empty name", "", 40},
    };
    for (const Case& c : cases) {
        auto titles = rankRowTitles({{c.name, 5}}, 5, "en_US");
        ASSERT_EQ(titles.size(), 1u) << c.what;
        EXPECT_EQ(titles[0], "1 : " + c.name + spaces(4 + c.filler) + "5") << c.what;
    }
}

TEST(RankRowTitles, TheTerminalRowOfAnHourAndAMinute) {
    EXPECT_EQ(rankRowTitles({{"Terminal", 3723.6}}, 5, "en_US"),
              std::vector<std::string>{"1 : Terminal" + spaces(36) + "3,724"});
}

TEST(RankRowTitles, FormatsTotalsInTheLocaleRoundingHalfToEven) {
    struct Case {
        const char* locale;
        double seconds;
        const char* shown;
    };
    const Case cases[] = {
        {"en_US", 0.4, "0"},
        {"en_US", 2.5, "2"},
        {"en_US", 3.5, "4"},
        {"en_US", -2.5, "-2"},
        {"en_US", 1234567, "1,234,567"},
        {"de_DE", 1234567, "1.234.567"},
        {"de_DE", 3723.6, "3.724"},
        {"ja_JP", 1234567, "1,234,567"},
        {"en_IN", 1234567, "12,34,567"},
        {"en_IN", 999.5, "1,000"},
    };
    for (const Case& c : cases) {
        auto titles = rankRowTitles({{"x", c.seconds}}, 1, c.locale);
        ASSERT_EQ(titles.size(), 1u);
        EXPECT_EQ(titles[0], "1 : x" + spaces(43) + c.shown) << c.locale << " " << c.seconds;
    }
}

TEST(RankRowTitles, ShowsAtMostTheRowsAskedFor) {
    RankList ranks;
    for (int i = 0; i < 7; ++i) {
        ranks.push_back({"App" + std::to_string(i), 100.0 - i});
    }
    auto titles = rankRowTitles(ranks, 5, "en_US");
    ASSERT_EQ(titles.size(), 5u);
    EXPECT_EQ(titles[4], "5 : App4" + spaces(40) + "96");
    EXPECT_EQ(rankRowTitles(ranks, 2, "en_US").size(), 2u);
    EXPECT_TRUE(rankRowTitles({}, 5, "en_US").empty());
}

}  // namespace
}  // namespace tesuko
