// The fast paths under the scanner, each against a plain reference: the line
// splitter, the name index, the reading of seconds.
#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <map>
#include <random>

#include "ranking/line_splitter.h"
#include "ranking/name_index.h"
#include "ranking/seconds_text.h"

namespace tesuko {
namespace {

// What a splitter reported: "name|seconds" per record, "short" per short row,
// then how many bytes it consumed.
template <typename Split>
std::string collect(std::string_view bytes, Split split) {
    std::string out;
    std::size_t consumed = split(
        bytes,
        [&](const RecordFields& f) { out.append(f.name).append("|").append(f.seconds) += ";"; },
        [&] { out += "short;"; });
    return out + std::to_string(consumed);
}

// The rule itself, written plainly: lines at "\n", fields at ",".
std::string byTheRule(const std::string& bytes) {
    std::string out;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1) {
        std::vector<std::string> fields(1);
        for (char c : bytes.substr(start, end - start)) {
            c == ',' ? fields.emplace_back() : fields.back() += c;
        }
        out += fields.size() < 6 ? "short;" : fields[1] + "|" + fields[5] + ";";
    }
    return out + std::to_string(start);
}

TEST(LineSplitter, BothWaysFollowTheRuleOnRandomBytes) {
    std::mt19937 random(7);
    const std::string alphabet = ",,,,\n\nab1.\xE3\x80\x81\r";
    for (int round = 0; round < 3000; ++round) {
        std::string bytes(random() % 300, ' ');
        for (char& c : bytes) {
            c = alphabet[random() % alphabet.size()];
        }
        // Inside a larger string, so that blocks start unaligned.
        std::string padded = std::string(random() % 16, '\n') + bytes + ",,,,,\n";
        std::string_view view(padded.data() + padded.size() - bytes.size() - 6, bytes.size());
        const std::string expected = byTheRule(bytes);
        ASSERT_EQ(collect(view, [](auto&&... a) { return splitCompleteLines(a...); }), expected);
        ASSERT_EQ(collect(view, [](auto&&... a) { return splitCompleteLinesWithMemchr(a...); }),
                  expected);
    }
}

TEST(NameIndex, FindsEveryNameItHoldsAndNoOther) {
    std::mt19937 random(11);
    NameIndex index;
    std::map<std::string, std::size_t> expected;
    // Names that share their first and last words, or differ only in length.
    auto makeName = [&] {
        std::string name(random() % 40, 'a');
        for (char& c : name) {
            c = "ab\xE6"[random() % 3];
        }
        return name;
    };
    for (std::size_t i = 0; i < 2000; ++i) {
        if (std::string name = makeName(); expected.emplace(name, i).second) {
            index.insert(name, i);
        }
        std::string probe = makeName();
        auto wanted = expected.find(probe);
        auto found = index.find(probe);
        ASSERT_EQ(found, wanted == expected.end() ? std::nullopt : std::optional(wanted->second));
        // In a buffer, followed by bytes that are not part of the name.
        std::string buffer = probe + std::string(NameIndex::kReadAhead, char(random()));
        ASSERT_EQ(index.findInBuffer(std::string_view(buffer).substr(0, probe.size())), found);
    }
    for (const auto& [name, position] : expected) {
        ASSERT_EQ(index.find(name), position) << name;
    }
}

// strtod is the reference: the faster reader must not move a total by a bit.
TEST(SecondsText, GivesStrtodsDoubleForEveryDecimalNumberAndZeroForOtherText) {
    std::setlocale(LC_NUMERIC, "C");
    auto asStrtod = [](const std::string& text) {
        return std::bit_cast<std::uint64_t>(secondsFromText(text)) ==
               std::bit_cast<std::uint64_t>(std::strtod(text.c_str(), nullptr));
    };
    for (const char* text : {" \t\r\v\f+3.25", "1E+3", "2.5e-3x", ".5", "-.5", "1e+", "3.5.7",
                             "-1e400", "1e-400", "2.4703282292062328e-324", "9007199254740993",
                             "0.1000000000000000055511151231257827", "-0", "12,5", "7.25\r"}) {
        EXPECT_TRUE(asStrtod(text)) << text;
    }
    std::mt19937_64 random(42);
    for (int i = 0; i < 20000; ++i) {
        // As the recorder writes seconds, then with an exponent.
        std::string written =
            std::to_string(double(std::int64_t(random() % 20000000000000) - 10000000000000) / 1e4);
        ASSERT_TRUE(asStrtod(written)) << written;
        std::string text = std::to_string(std::int64_t(random() % 2000000000) - 1000000000) + "." +
                           std::to_string(random() % 1000000) + "e" +
                           std::to_string(int(random() % 40) - 20);
        ASSERT_TRUE(asStrtod(text)) << text;
    }
    // strtod would read some of these; a number here is digits with a point.
    for (const char* text : {"", "abc", "inf", "-infinity", "nan", "0x1A", "+-5", "-.", "e5"}) {
        EXPECT_EQ(std::bit_cast<std::uint64_t>(secondsFromText(text)), 0u) << text;
    }
}

}  // namespace
}  // namespace tesuko
