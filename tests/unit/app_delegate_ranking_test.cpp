#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/unit/app_delegate_fixture.h"

namespace tesuko {
namespace {

const MenuItem kRows[] = {MenuItem::Rank1, MenuItem::Rank2, MenuItem::Rank3, MenuItem::Rank4,
                          MenuItem::Rank5};

std::string logOf(const std::vector<std::pair<std::string, std::string>>& records) {
    std::string log;
    for (const auto& [application, seconds] : records) {
        log += "2026年12月05日 13時40分48秒," + application + ",window,0,0," + seconds + "\n";
    }
    return log;
}

// Opening the menu retitles the ranking rows from the log as it is now.
class MenuRankingRowsTest : public AppDelegateTest {
  protected:
    void SetUp() override { launch(); }
    void openWithLog(const std::vector<std::pair<std::string, std::string>>& records) {
        fakes.fileSystem.addFile(kDelegateLog, logOf(records));
        menu.open();
    }
    std::vector<std::string> titles() const {
        std::vector<std::string> shown;
        for (MenuItem row : kRows) {
            shown.push_back(title(row));
        }
        return shown;
    }
    // The start of each row's title, up to the name.
    std::vector<std::string> ranked() const {
        std::vector<std::string> shown;
        for (const std::string& t : titles()) {
            shown.push_back(t.substr(0, t.find("    ")));
        }
        return shown;
    }
};

const std::vector<std::pair<std::string, std::string>> kSeven = {
    {"Terminal", "3723.600000"}, {"Editor", "600.000000"}, {"Browser", "500.000000"},
    {"Mail", "400.000000"},      {"Chat", "300.000000"},   {"Music", "200.000000"},
    {"Files", "100.000000"}};

TEST_F(MenuRankingRowsTest, RowsShowTheTopFiveInRankOrder) {
    openWithLog(kSeven);
    EXPECT_EQ(ranked(), (std::vector<std::string>{"1 : Terminal", "2 : Editor", "3 : Browser",
                                                  "4 : Mail", "5 : Chat"}));
    EXPECT_EQ(title(MenuItem::Rank1), "1 : Terminal" + std::string(36, ' ') + "3,724");
}

TEST_F(MenuRankingRowsTest, RowsBeyondTheRankListKeepTheirTitles) {
    EXPECT_EQ(title(MenuItem::Rank3), "—");
    openWithLog(kSeven);
    const std::vector<std::string> earlier = titles();

    openWithLog({{"Music", "10.000000"}, {"Files", "20.000000"}});
    EXPECT_EQ(ranked()[0], "1 : Files");
    EXPECT_EQ(ranked()[1], "2 : Music");
    const std::vector<std::string> now = titles();
    EXPECT_EQ(std::vector<std::string>(now.begin() + 2, now.end()),
              std::vector<std::string>(earlier.begin() + 2, earlier.end()));
}

TEST_F(MenuRankingRowsTest, NoReadableLogChangesNoRow) {
    menu.open();
    EXPECT_EQ(titles(), std::vector<std::string>(5, "—"));
    fakes.fileSystem.addFile(kDelegateLog, "");
    menu.open();
    EXPECT_EQ(titles(), std::vector<std::string>(5, "—"));
}

TEST_F(MenuRankingRowsTest, EachOpeningReadsTheLogAgain) {
    openWithLog({{"Editor", "5.000000"}, {"Browser", "9.000000"}});
    EXPECT_EQ(ranked()[0], "1 : Browser");
    openWithLog({{"Editor", "5.000000"}, {"Browser", "9.000000"}, {"Editor", "5.000000"}});
    EXPECT_EQ(ranked()[0], "1 : Editor");
}

}  // namespace
}  // namespace tesuko
