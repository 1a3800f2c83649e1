#include "ranking/line_splitter.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "ranking/name_index.h"

namespace tesuko {
namespace {

// What a splitter reported, in order: "name|seconds" per record, "short" per short row.
struct Calls {
    std::vector<std::string> calls;
    std::size_t consumed = 0;

    bool operator==(const Calls&) const = default;
};

template <typename Split>
Calls collect(std::string_view bytes, Split split) {
    Calls out;
    out.consumed = split(
        bytes,
        [&](const RecordFields& f) {
            out.calls.push_back(std::string(f.name) + "|" + std::string(f.seconds));
        },
        [&] { out.calls.push_back("short"); });
    return out;
}

// The rule itself, written plainly: lines at "\n", fields at ",".
Calls byTheRule(const std::string& bytes) {
    Calls out;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1) {
        std::vector<std::string> fields;
        std::string line = bytes.substr(start, end - start);
        for (std::size_t from = 0;;) {
            std::size_t comma = line.find(',', from);
            fields.push_back(line.substr(from, comma - from));
            if (comma == std::string::npos) {
                break;
            }
            from = comma + 1;
        }
        out.calls.push_back(fields.size() < 6 ? "short" : fields[1] + "|" + fields[5]);
    }
    out.consumed = start;
    return out;
}

TEST(LineSplitter, BothWaysFollowTheRuleOnRandomBytes) {
    std::mt19937 random(7);
    const std::string alphabet = ",,,,\n\nab1.\xE3\x80\x81\r";
    auto simd = [](auto&&... args) { return splitCompleteLines(args...); };
    auto plain = [](auto&&... args) { return splitCompleteLinesWithMemchr(args...); };
    for (int round = 0; round < 3000; ++round) {
        std::string bytes(random() % 300, ' ');
        for (char& c : bytes) {
            c = alphabet[random() % alphabet.size()];
        }
        // An offset into a larger string, so blocks start unaligned.
        std::string padded = std::string(random() % 16, '\n') + bytes + ",,,,,\n";
        std::string_view view(padded.data() + padded.size() - bytes.size() - 6, bytes.size());
        Calls expected = byTheRule(bytes);
        ASSERT_EQ(collect(view, simd), expected) << round;
        ASSERT_EQ(collect(view, plain), expected) << round;
    }
}

TEST(LineSplitter, ReadsRecordsByPosition) {
    const std::string log =
        "t,Editor,title,3,10,12.500000\n"  // six fields
        "t,Foo,Bar,title,3,10,99.0\n"      // seven: field 5 is the key count
        "t,Short,title,3,10\n"             // five
        "\n"
        ",,,,,\n"  // six empty fields
        "t,Unfinished,title,3,10,1.0";
    auto calls = collect(log, [](auto&&... args) { return splitCompleteLines(args...); });
    EXPECT_EQ(calls.calls,
              (std::vector<std::string>{"Editor|12.500000", "Foo|10", "short", "short", "|"}));
    EXPECT_EQ(calls.consumed, log.rfind('\n') + 1);
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
        std::string name = makeName();
        if (!expected.contains(name)) {
            index.insert(name, i);
            expected[name] = i;
        }
        std::string probe = makeName();
        auto found = index.find(probe);
        auto wanted = expected.find(probe);
        ASSERT_EQ(found.has_value(), wanted != expected.end()) << probe;
        if (found) {
            ASSERT_EQ(*found, wanted->second);
        }
        // In a buffer, followed by bytes that are not part of the name.
        std::string buffer = probe + std::string(NameIndex::kReadAhead, char(random()));
        ASSERT_EQ(index.findInBuffer(std::string_view(buffer).substr(0, probe.size())), found)
            << probe;
    }
    for (const auto& [name, position] : expected) {
        ASSERT_EQ(index.find(name), position) << name;
    }
}

}  // namespace
}  // namespace tesuko
