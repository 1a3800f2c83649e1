#include "text/utf8.h"

#include <gtest/gtest.h>

namespace tesuko {
namespace {

TEST(Utf8, CountsUtf16CodeUnits) {
    struct Case {
        const char* text;
        std::size_t units;
    };
    const Case cases[] = {
        {"", 0},
        {"x", 1},
        {"ab", 2},
        {"日本", 2},
        {"\xF0\x9F\x98\x80", 2},  // one character outside the BMP
        {"\xFF", 1},              // an ill-formed byte stands for one U+FFFD
        {"\xE6\x97", 1},          // a cut sequence too
        {"a\xC3", 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(utf8::utf16Length(c.text), c.units) << c.text;
    }
}

TEST(Utf8, ReplacesEachMaximalIllFormedSubsequence) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"plain", "plain"},
        {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},                                  // overlong
        {"\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // > U+10FFFF
        {"\xE2\x82\xAC", "\xE2\x82\xAC"},                                          // euro sign
        {"\xE2\x82x", "\xEF\xBF\xBDx"},    // truncated, then ASCII
        {"\xEF\xBF\xBD", "\xEF\xBF\xBD"},  // a real U+FFFD stays one
    };
    for (const Case& c : cases) {
        EXPECT_EQ(utf8::valid(c.in), c.out) << c.in;
    }
}

}  // namespace
}  // namespace tesuko
