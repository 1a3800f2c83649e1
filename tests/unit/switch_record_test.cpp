#include "recorder/switch_record.h"

#include <gtest/gtest.h>

#include <clocale>

namespace tesuko {
namespace {

// In a comma locale, as the point must not turn into a comma.
TEST(SwitchRecord, PadsEveryPartAndRoundsTheSecondsToSixDecimals) {
    std::string saved = std::setlocale(LC_ALL, nullptr);
    ASSERT_TRUE(std::setlocale(LC_ALL, "de_DE.UTF-8")) << "de_DE.UTF-8 is not installed";
    EXPECT_EQ(
        composeRecord({{2025, 12, 31, 23, 59, 59}, "Editor", "Report,draft", 3, 10, 0.0000015}),
        "2025年12月31日 23時59分59秒,Editor,Report、draft,3,10,0.000002\n");  // not 2026
    EXPECT_EQ(composeRecord({{987, 3, 4, 5, 6, 7}, "x", "t", -1, 2147483647, 123456.1234567}),
              "0987年03月04日 05時06分07秒,x,t,-1,2147483647,123456.123457\n");
    std::setlocale(LC_ALL, saved.c_str());
}

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

}  // namespace
}  // namespace tesuko
