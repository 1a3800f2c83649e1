// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/switch_record.h"

#include <gtest/gtest.h>

namespace tesuko {
namespace {

using namespace std::string_literals;

TEST(SwitchRecord, FieldTextReplacesCommasControlsAndInvalidUtf8) {
    const std::pair<const char*, const char*> cases[] = {
        {"Foo, Inc.", "Foo、 Inc."},
        {"line\nbreak\r\tand\x1f", "line break  and "},
        {"del\x7f c1\xC2\x80\xC2\x9b[31m\xC2\x9f \xC2\xA0kept", "del  c1  [31m  \xC2\xA0kept"},
        {"bad \xff, cut \xE6\x97", "bad \xEF\xBF\xBD、 cut \xEF\xBF\xBD"},
        {"surrogate \xED\xA0\x80", "surrogate \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\xC0\xAF\xF4\x90\x80\x80",
         "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"
         "\xEF\xBF\xBD\xEF\xBF\xBD"},  // overlong, past U+10FFFF
        {"日本語 \xF0\x9F\x98\x80 \"quoted\"", "日本語 \xF0\x9F\x98\x80 \"quoted\""},
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(fieldText(in), out) << in;
    }
}

// The checkpoint orders records by the start as read back.
TEST(SwitchRecord, StartTimesReadBackAsWritten) {
    const LocalTime times[] = {{2026, 12, 5, 13, 40, 48},
                               {2024, 2, 29, 23, 59, 59},
                               {0, 1, 1, 0, 0, 0},
                               {9999, 12, 31, 9, 5, 7}};
    for (const LocalTime& time : times) {
        const std::optional<LocalTime> read = parseStartTime(formatStartTime(time));
        ASSERT_TRUE(read) << formatStartTime(time);
        EXPECT_EQ(formatStartTime(*read), formatStartTime(time));
    }
}

// Cut where a character ends, whatever the bytes of the character cut in two.
TEST(SwitchRecord, LongTitlesAreCutBetweenCharacters) {
    const std::string start = formatStartTime({2026, 12, 5, 13, 40, 48}) + ",App,";
    const std::string filler(kLongestTitle - 1, 'x');
    const std::pair<const char*, const char*> cases[] = {{"a", "a"}, {"ab", "a"}, {"é", ""},
                                                         {"日", ""}, {",", ""},   {"😀", ""}};
    for (const auto& [end, kept] : cases) {
        const std::string line =
            composeRecord({{2026, 12, 5, 13, 40, 48}, "App", filler + end, 1, 2, 1});
        EXPECT_TRUE(line.starts_with(start + filler));
        EXPECT_EQ(line.substr(start.size() + filler.size()), kept + ",1,2,1.000000\n"s) << end;
    }
}

}  // namespace
}  // namespace tesuko
