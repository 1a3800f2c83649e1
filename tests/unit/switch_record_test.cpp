#include "recorder/switch_record.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace tesuko {
namespace {

const LocalTime kStart{2026, 12, 5, 13, 40, 48};

TEST(SwitchRecord, ComposesTheDocumentedLine) {
    SwitchRecord record{kStart, "Editor", "Report,draft", 3, 10, 12.5};
    EXPECT_EQ(composeRecord(record),
              "2026年12月05日 13時40分48秒,Editor,Report、draft,3,10,12.500000\n");
}

TEST(SwitchRecord, StartTimeUsesTheCalendarYearAndPadsEveryPart) {
    struct Case {
        LocalTime time;
        const char* text;
    };
    const Case cases[] = {
        {{2025, 12, 31, 23, 59, 59},
         "2025年12月31日 23時59分59秒"},  // week-based year would say 2026
        {{2027, 1, 1, 0, 0, 0}, "2027年01月01日 00時00分00秒"},
        {{987, 3, 4, 5, 6, 7}, "0987年03月04日 05時06分07秒"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(formatStartTime(c.time), c.text);
    }
}

TEST(SwitchRecord, SecondsHaveSixDecimalsAndAPointInEveryLocale) {
    struct Case {
        double seconds;
        const char* text;
    };
    const Case cases[] = {
        {0.5, "0.500000"},
        {3600, "3600.000000"},
        {7.25, "7.250000"},
        {0.0000004, "0.000000"},
        {0.0000015, "0.000002"},
        {1e-9, "0.000000"},
        {123456.1234567, "123456.123457"},
    };
    // A comma locale must not turn the point into a comma.
    const char* previous = std::setlocale(LC_ALL, nullptr);
    std::string saved = previous ? previous : "C";
    bool german = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    for (const Case& c : cases) {
        std::string out;
        appendSeconds(out, c.seconds);
        EXPECT_EQ(out, c.text) << c.seconds;
    }
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_TRUE(german) << "de_DE.UTF-8 is not installed (locales-all)";
}

TEST(SwitchRecord, FieldTextKeepsEveryRecordOneLineOfSixFields) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"a,b,c", "a、b、c"},
        {"line\nbreak\r\tand\x1f", "line break  and "},
        {"del\x7f c1\xC2\x80\xC2\x9b[31m\xC2\x9f \xC2\xA0kept", "del  c1  [31m  \xC2\xA0kept"},
        {"Foo, Inc.", "Foo、 Inc."},
        {"bad \xff byte", "bad \xEF\xBF\xBD byte"},
        {"cut \xE6\x97", "cut \xEF\xBF\xBD"},
        {"surrogate \xED\xA0\x80", "surrogate \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"日本語 \xF0\x9F\x98\x80", "日本語 \xF0\x9F\x98\x80"},
        {"quote \"kept\"", "quote \"kept\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fieldText(c.in), c.out) << c.in;
    }
}

TEST(SwitchRecord, HostileNameAndTitleStillGiveSixFieldsAndOneLine) {
    SwitchRecord record{kStart,
                        "Evil,\nApp\xC0",
                        "t,i\nt\rl\x01"
                        "e\xFF",
                        -1,
                        2147483647,
                        1.0};
    std::string line = composeRecord(record);
    ASSERT_EQ(line.back(), '\n');
    EXPECT_EQ(line.find('\n'), line.size() - 1);
    EXPECT_EQ(std::count(line.begin(), line.end(), ','), 5);
    EXPECT_NE(line.find(",-1,2147483647,1.000000\n"), std::string::npos);
}

}  // namespace
}  // namespace tesuko
