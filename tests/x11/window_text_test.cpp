#include "platform/x11/window_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tesuko {
namespace {

TEST(WindowText, DecodesEachPropertyTypeToUtf8) {
    const std::string esc = "\x1b";
    struct Case {
        const char* name;
        std::string bytes;
        TextEncoding encoding;
        std::string utf8;
    };
    const std::vector<Case> cases{
        {"ASCII Latin-1", "plain", TextEncoding::Latin1, "plain"},
        {"Latin-1 upper half", "caf\xe9 \xa9 \xff", TextEncoding::Latin1, "café © ÿ"},
        {"UTF-8 as it is", "日本語 ✓", TextEncoding::Utf8, "日本語 ✓"},
        {"invalid UTF-8 untouched", "a\xff\xc3", TextEncoding::Utf8, "a\xff\xc3"},
        {"compound text without escapes is Latin-1", "na\xefve", TextEncoding::CompoundText,
         "naïve"},
        {"compound text Latin-1 right half", "x" + esc + "-A\xe9", TextEncoding::CompoundText,
         "xé"},
        {"compound text Latin-2 right half", esc + "-B\xb1", TextEncoding::CompoundText, "ą"},
        {"compound text JIS X 0208", esc + "$)B\xc6\xfc\xcb\xdc", TextEncoding::CompoundText,
         "日本"},
        {"compound text UTF-8 segment", "a" + esc + "%G€ ✓" + esc + "%@b",
         TextEncoding::CompoundText, "a€ ✓b"},
        {"Latin-1 designation survives a UTF-8 segment",
         esc + "-A\xe9" + esc + "%G✓" + esc + "%@\xe9", TextEncoding::CompoundText, "é✓é"},
        {"unterminated UTF-8 segment", "a" + esc + "%G✓", TextEncoding::CompoundText, "a✓"},
        {"empty", "", TextEncoding::CompoundText, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(textToUtf8(c.bytes, c.encoding), c.utf8) << c.name;
    }
}

}  // namespace
}  // namespace tesuko
