// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/switch_record.h"

#include <gtest/gtest.h>

namespace tesuko {
namespace {

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
