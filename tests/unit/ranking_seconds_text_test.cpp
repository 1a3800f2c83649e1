#include "ranking/seconds_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace tesuko {
namespace {

std::uint64_t bitsOf(double value) {
    return std::bit_cast<std::uint64_t>(value);
}

double byStrtod(const std::string& text) {
    return std::strtod(text.c_str(), nullptr);
}

TEST(SecondsText, GivesStrtodsDoubleForEveryDecimalNumber) {
    const char* texts[] = {
        "12.500000",
        "0.500000",
        "-2.000000",
        "+3.25",
        " \t\r\v\f7",
        "1e3",
        "1E+3",
        "2.5e-3x",
        ".5",
        "5.",
        "-.5",
        "00012.5000",
        "1e",
        "1e+",
        "3.5.7",
        "1e400",
        "-1e400",
        "1e-400",
        "4.9e-324",
        "2.4703282292062328e-324",
        "0.1000000000000000055511151231257827",
        "179769313486231570814527423731704356798070567525844996598917476803157260780028538760589"
        "5.5",
        "9007199254740993",
        "-0",
        "12,5",
        "7.25\r"};
    std::setlocale(LC_NUMERIC, "C");
    for (const char* text : texts) {
        EXPECT_EQ(bitsOf(secondsFromText(text)), bitsOf(byStrtod(text))) << text;
    }
}

TEST(SecondsText, RandomNumbersInTheRecordersFormAgreeWithStrtod) {
    std::mt19937_64 random(42);
    for (int i = 0; i < 20000; ++i) {
        char written[64];
        double seconds = double(std::int64_t(random() % 20000000000000) - 10000000000000) / 1e4;
        std::snprintf(written, sizeof written, "%f", seconds);  // as the recorder writes it
        ASSERT_EQ(bitsOf(secondsFromText(written)), bitsOf(byStrtod(written))) << written;
    }
    for (int i = 0; i < 20000; ++i) {
        std::string text = std::to_string(std::int64_t(random() % 2000000000) - 1000000000) + "." +
                           std::to_string(random() % 1000000);
        if (i % 3 == 0) {
            text.append("e").append(std::to_string(int(random() % 40) - 20));
        }
        ASSERT_EQ(bitsOf(secondsFromText(text)), bitsOf(byStrtod(text))) << text;
    }
}

TEST(SecondsText, TextThatIsNotADecimalNumberCountsAsZero) {
    // strtod would read some of these; a number here is digits with a point.
    const char* texts[] = {"",    " ",   "abc", "inf", "-infinity", "nan", "NaN(1)",      "0x1A",
                           "+-5", "--5", ".",   "-.",  "+",         "e5",  "\xEF\xBC\x91"};
    for (const char* text : texts) {
        EXPECT_EQ(bitsOf(secondsFromText(text)), bitsOf(0.0)) << text;
    }
    EXPECT_EQ(secondsFromText("0x1A"), 0.0) << "hex is 0 followed by text";
}

}  // namespace
}  // namespace tesuko
