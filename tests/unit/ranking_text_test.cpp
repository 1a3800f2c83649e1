// SPDX-License-Identifier: GPL-3.0-or-later
// The scanner's text readers against plain oracles: both line splitters
// against the rule, the seconds reader against strtod, the name index against
// a set of names.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <random>
#include <set>
#include <sstream>

#include "ranking/line_splitter.h"
#include "ranking/name_index.h"
#include "ranking/seconds_text.h"

namespace tesuko {
namespace {

// What a splitter reported: "start|name|title|seconds" per record, "short" per short row,
// then how many bytes it consumed.
template <typename Split>
std::string collect(std::string_view bytes, Split split) {
    std::string out;
    std::size_t consumed = split(
        bytes,
        [&](const RecordFields& f) {
            for (std::string_view field : {f.start, f.name, f.title}) {
                out.append(field) += "|";
            }
            out.append(f.seconds) += ";";
        },
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
        out += fields.size() < 6
                   ? "short;"
                   : fields[0] + "|" + fields[1] + "|" + fields[2] + "|" + fields[5] + ";";
    }
    return out + std::to_string(start);
}

// Random bytes from each alphabet, at lengths around the splitter's window of
// 4096 bytes: lines shorter than it, lines longer, and windows dense in commas.
TEST(LineSplitter, BothWaysFollowTheRuleOnRandomBytes) {
    struct Case {
        std::string alphabet;
        std::size_t longest;
        int rounds;
    };
    const std::vector<Case> cases = {
        {",,,,\n\nab1.\xE3\x80\x81\r", 300, 3000},
        {",,,,\nab1.\xE3\x80\x81\r", 20000, 200},
        {",,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,\n", 20000, 100},
        {std::string(3000, 'a') + ",,,,,,\n", 30000, 50},
    };
    std::mt19937 random(7);
    for (const Case& c : cases) {
        for (int round = 0; round < c.rounds; ++round) {
            std::string bytes(random() % c.longest, ' ');
            for (char& byte : bytes) {
                byte = c.alphabet[random() % c.alphabet.size()];
            }
            // Inside a larger string, so that blocks start unaligned.
            std::string padded = std::string(random() % 16, '\n') + bytes + ",,,,,\n";
            std::string_view view(padded.data() + padded.size() - bytes.size() - 6, bytes.size());
            const std::string expected = byTheRule(bytes);
            ASSERT_EQ(collect(view, [](auto&&... a) { return splitCompleteLines(a...); }),
                      expected);
            ASSERT_EQ(collect(view, [](auto&&... a) { return splitCompleteLinesWithMemchr(a...); }),
                      expected);
        }
    }
}

// Lines near the shape of a record, each after lines of every length up to a
// block, so that its fields fall anywhere in the 64-byte blocks; and lines
// that end just before, at and just after the end of a 4096-byte window.
TEST(LineSplitter, LinesNearTheShapeOfARecordFollowTheRule) {
    const std::string start(33, 's');
    std::vector<std::string> lines = {
        start + ",Kate,notes,1,2,3.5",
        start + "," + std::string(70, 'n') + ",notes,1,2,3.5",  // a long name
        start + "," + std::string(40, 'n') + ",t,1,2",          // four commas
        start + ",Kate," + std::string(63, 't') + ",1,2,3.5",
        start + ",Kate," + std::string(64, 't') + ",1,2,3.5",
        start + ",Kate," + std::string(200, 't') + ",1,2,3.5",
        // Six commas, the third after a long title.
        start + ",Kate," + std::string(57, 't') + "," + std::string(10, 'x') + ",1,2,3.5",
        start + ",Kate," + std::string(61, 't') + "," + std::string(10, 'x') + ",1,2,3.5",
        "a,b," + std::string(30, 't') + "," + std::string(64, 'x'),  // three commas
        start + ",Kate,notes," + std::string(70, '1') + ",2,3.5",    // long numbers
        start + ",Kate,notes,1,2," + std::string(70, '3'),
        start + ",Kate,no,tes,1,2,3.5",               // six commas
        start + ",Kate,t,1," + std::string(53, '2'),  // four, the third 56 bytes from the end
        start + ",Kate,notes,1,2,3.5,,,",
        ",,,,,",
        ",,,,",
        "",
    };
    for (std::size_t length : {4095, 4096, 4097, 8192}) {
        lines.push_back("0,a," + std::string(length - 12, 't') + ",1,2,3.5");
    }
    for (const std::string& line : lines) {
        for (std::size_t before = 0; before <= 70; ++before) {
            std::string bytes = std::string(before, 'x') + "\n" + line + "\n" + line + "\n";
            const std::string expected = byTheRule(bytes);
            ASSERT_EQ(collect(bytes, [](auto&&... a) { return splitCompleteLines(a...); }),
                      expected)
                << line << " after " << before;
        }
    }
}

// Texts the way the recorder writes seconds and the other ways a number can
// be written, each read bit for bit as strtod reads it (in the "C" locale of
// a test program); what strtod takes but the recorder never writes is 0.
TEST(SecondsText, ReadsNumbersAsStrtodDoes) {
    std::istringstream table(
        "12.5 3e2 0.1234567 1. .5 5e 5e+ 1e-3x 0.000000 -0.000000 12.345678, 99999999.999999 "
        "123456789.123456 1234567890.1234567 0.1e1.5 1.7976931348623157e308 "
        "1.7976931348623159e308 1e400 -1e400 1e-400 2e-324 3e-324 4.9e-324 "
        "2.2250738585072011e-308 1e99999999999999999999 1e-99999999999999999999 "
        "0e99999999999999999999 9007199254740993 9007199254740993.0000000001");
    std::vector<std::string> texts{std::istream_iterator<std::string>(table), {}};
    texts.push_back("\t\n\v\f\r 7");
    // Beyond a double's range, some on the other side of 1 than their exponent.
    const std::string zeros(400, '0');
    for (const std::string& text : {"1" + zeros, "0." + zeros + "1", "." + zeros + "1e60",
                                    "1" + zeros + "e-60", "0." + zeros + "1e99"}) {
        texts.push_back(text);
    }
    std::mt19937_64 random(11);
    char text[400];
    for (int i = 0; i < 4000; ++i) {
        double value = std::ldexp(double(random() >> 11), int(random() % 90) - 80);
        const char* sign = i % 7 == 0 ? "-" : i % 5 == 0 ? "+" : "";
        const int decimals = int(random() % 18);
        const char* space = i % 3 == 0 ? "  " : "";
        std::snprintf(text, sizeof text, "%f", value);
        texts.emplace_back(text);
        std::snprintf(text, sizeof text, "%s%s%.*f", space, sign, decimals, value);
        texts.emplace_back(text);
        std::snprintf(text, sizeof text, "%s%s%.*e", space, sign, decimals, value);
        texts.emplace_back(text);
    }
    for (const std::string& text : texts) {
        const double expected = std::strtod(text.c_str(), nullptr);
        ASSERT_EQ(std::bit_cast<std::uint64_t>(secondsFromText(text)),
                  std::bit_cast<std::uint64_t>(expected))
            << text << " reads as " << secondsFromText(text) << ", strtod " << expected;
    }
    for (std::string_view text :
         {"inf", "-inf", "nan", "+-5", "-+5", "", ".", "e5", "0x10", " infinity", "-.e1", "+"}) {
        EXPECT_EQ(std::bit_cast<std::uint64_t>(secondsFromText(text)), 0u) << text;
    }
}

// Random names around the two words a short name is kept in: new ones, held
// ones with another tail, held ones but for their last byte, with bytes of
// any value. Half of them go into the index; each of those is found at its
// position, alone and in a buffer, and none of the others is found.
TEST(NameIndex, FindsEveryNameInsertedAndNoOther) {
    std::mt19937 random(5);
    auto randomText = [&](std::size_t size) {
        std::string text(size, ' ');
        for (char& byte : text) {
            byte = char(random() % 4 == 0 ? 0x80 + random() % 0x80 : 'a' + random() % 3);
        }
        return text;
    };
    std::vector<std::string> held;
    std::vector<std::string> others;
    std::set<std::string> inserted;
    NameIndex index;
    for (int i = 0; i < 6000; ++i) {
        std::string name = randomText(random() % 41);
        if (i % 3 != 0 && !held.empty()) {
            name = held[random() % held.size()];
            if (i % 3 == 1 || name.empty()) {
                name =
                    name.substr(0, name.size() - std::min<std::size_t>(name.size(), random() % 3)) +
                    randomText(random() % 3);
            } else {
                name.back() = char(name.back() ^ (1 << random() % 8));
            }
        }
        if (inserted.contains(name)) {
            continue;
        }
        if (random() % 2 == 0) {
            others.push_back(name);
            continue;
        }
        inserted.insert(name);
        index.insert(name, held.size());
        held.push_back(name);
    }
    // In a buffer, the bytes after a name that findInBuffer reads are not part of it.
    auto found = [&index](const std::string& name) {
        const std::string buffer = name + std::string(NameIndex::kReadAhead, '\xAA');
        std::optional<std::size_t> alone = index.find(name);
        EXPECT_EQ(index.findInBuffer({buffer.data(), name.size()}), alone) << name;
        return alone;
    };
    for (std::size_t position = 0; position < held.size(); ++position) {
        ASSERT_EQ(found(held[position]), position) << held[position];
    }
    for (const std::string& name : others) {
        ASSERT_TRUE(inserted.contains(name) || found(name) == std::nullopt) << name;
    }
}

}  // namespace
}  // namespace tesuko
