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

}  // namespace
}  // namespace tesuko
