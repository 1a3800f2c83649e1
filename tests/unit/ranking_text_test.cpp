// SPDX-License-Identifier: GPL-3.0-or-later
// Both line splitters under the scanner, against the plain rule.
#include <gtest/gtest.h>

#include <random>

#include "ranking/line_splitter.h"

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
        start + ",Kate,no,tes,1,2,3.5",  // six commas
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

}  // namespace
}  // namespace tesuko
