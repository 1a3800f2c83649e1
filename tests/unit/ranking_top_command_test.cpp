#include "app/top_command.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "tests/unit/ranking_fixture.h"

namespace tesuko {
namespace {

class TopCommandTest : public RankingTest {
  protected:
    int run(std::vector<std::string> args, TopOutput output = TopOutput::pipe) {
        out.str({});
        err.str({});
        return runTopCommand(args, files, defaults, systemLog, home, out, err, output);
    }
    std::vector<std::string> printed() const {
        std::vector<std::string> lines;
        std::istringstream in(out.str());
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(TopCommandTest, PrintsTheRowsOfTheLogTheMenuReads) {
    std::string bytes;
    for (int i = 1; i <= 7; ++i) {
        bytes += record("App" + std::to_string(i), std::to_string(i * 1000));
    }
    files.addFile(kHomeLog, bytes);
    ASSERT_EQ(run({"--top"}), 0) << err.str();
    auto rows = printed();
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].substr(0, 10), "1 : App7  ");
    EXPECT_EQ(rows[4].substr(0, 10), "5 : App3  ");

    ASSERT_EQ(run({"--top", "2"}), 0);
    EXPECT_EQ(printed().size(), 2u);
    ASSERT_EQ(run({"--top", "50"}), 0);
    EXPECT_EQ(printed().size(), 7u);
    EXPECT_TRUE(err.str().empty());

    files.addFile("/home/user/My Logs/log.csv", record("Stored", "1"));
    storeLocation("file:///home/user/My%20Logs/log.csv");
    ASSERT_EQ(run({"--top"}), 0);
    ASSERT_EQ(printed().size(), 1u);
    EXPECT_EQ(printed()[0].substr(0, 10), "1 : Stored");
}

TEST_F(TopCommandTest, ReadsTheGivenLog) {
    files.addFile("/tmp/other.csv", record("Other", "2") + record("More", "1"));
    ASSERT_EQ(run({"--top", "--log", "/tmp/other.csv"}), 0);
    EXPECT_EQ(printed().size(), 2u);
    ASSERT_EQ(run({"--top", "1", "--log", "/tmp/other.csv"}), 0);
    ASSERT_EQ(printed().size(), 1u);
    EXPECT_EQ(printed()[0].substr(0, 9), "1 : Other");
    ASSERT_EQ(run({"--top", "--log", "/tmp/other.csv", "1"}), 0);
    EXPECT_EQ(printed().size(), 1u);
}

TEST_F(TopCommandTest, AnUnreadableLogIsAClearErrorWithStatusOne) {
    files.createDirectories("/tmp/folder");
    files.addSpecialFile("/tmp/fifo");
    const std::pair<const char*, const char*> cases[] = {
        {"/tmp/fifo", "tesuko: cannot read the activity log /tmp/fifo: not a regular file\n"},
        {"/tmp/missing.csv",
         "tesuko: cannot read the activity log /tmp/missing.csv: No such file "
         "or directory\n"},
        {"/tmp/folder", "tesuko: cannot read the activity log /tmp/folder: Is a directory\n"},
    };
    for (const auto& [path, message] : cases) {
        EXPECT_EQ(run({"--top", "--log", path}), 1);
        EXPECT_EQ(err.str(), message);
        EXPECT_TRUE(out.str().empty());
    }
    EXPECT_EQ(run({"--top"}), 1) << "no log at the default location yet";
    EXPECT_NE(err.str().find(kHomeLog), std::string::npos);
}

// A crafted log must not reach the user's terminal as escape sequences.
TEST_F(TopCommandTest, ControlCharactersInNamesPrintAsReplacementsOnATerminal) {
    files.addFile(kHomeLog, record("\x1b]0;owned\x07x\x7f\xC2\x9b", "1"));
    ASSERT_EQ(run({"--top"}, TopOutput::terminal), 0);
    EXPECT_EQ(printed()[0].substr(0, 25), "1 : \uFFFD]0;owned\uFFFDx\uFFFD\uFFFD");
    ASSERT_EQ(run({"--top"}, TopOutput::pipe), 0);
    EXPECT_EQ(printed()[0].substr(0, 18), "1 : \x1b]0;owned\x07x\x7f\xC2\x9b");
}

TEST_F(TopCommandTest, BadArgumentsGiveUsageAndStatusTwo) {
    files.addFile(kHomeLog, record("A", "1"));
    const std::vector<std::vector<std::string>> cases = {
        {"--top", "0"},         {"--top", "-1"},    {"--top", "five"},
        {"--top", "3", "4"},    {"--top", "--log"}, {"--top", "--log", "a", "--log", "b"},
        {"--top", "--verbose"}, {"--top", "2x"},    {"--top", "+3"},
    };
    for (const auto& args : cases) {
        EXPECT_EQ(run(args), 2) << args.back();
        EXPECT_NE(err.str().find("usage: tesuko --top [N] [--log FILE]"), std::string::npos);
        EXPECT_TRUE(out.str().empty());
    }
    EXPECT_FALSE(isTopCommand(std::vector<std::string>{}));
    EXPECT_FALSE(isTopCommand(std::vector<std::string>{"--log", "--top"}));
    EXPECT_TRUE(isTopCommand(std::vector<std::string>{"--top"}));
}

}  // namespace
}  // namespace tesuko
