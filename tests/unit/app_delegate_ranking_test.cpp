// SPDX-License-Identifier: GPL-3.0-or-later
#include <utility>
#include <vector>

#include "tests/unit/app_delegate_fixture.h"

namespace tesuko {
namespace {

const MenuItem kRows[] = {MenuItem::Rank1, MenuItem::Rank2, MenuItem::Rank3, MenuItem::Rank4,
                          MenuItem::Rank5};

// Opening the menu retitles the ranking rows from the log as it is now.
class MenuRankingRowsTest : public AppDelegateTest {
  protected:
    void SetUp() override { launch(); }
    void openWithLog(const std::vector<std::pair<std::string, std::string>>& records) {
        std::string log;
        for (const auto& [application, seconds] : records) {
            log += "2026年12月05日 13時40分48秒," + application + ",window,0,0," + seconds + "\n";
        }
        fakes.fileSystem.addFile(kDelegateLog, log);
        menu.open();
    }
    // The start of each row's title, up to the name.
    std::vector<std::string> ranked() const {
        std::vector<std::string> shown;
        for (MenuItem row : kRows) {
            shown.push_back(title(row).substr(0, title(row).find("    ")));
        }
        return shown;
    }
};

const std::vector<std::pair<std::string, std::string>> kSeven = {
    {"Terminal", "3723.600000"}, {"Editor", "600.000000"}, {"Browser", "500.000000"},
    {"Mail", "400.000000"},      {"Chat", "300.000000"},   {"Music", "200.000000"},
    {"Files", "100.000000"}};

// Each opening reads the log as it is then; rows beyond the rank list keep
// the titles they had, and no readable log changes no row.
TEST_F(MenuRankingRowsTest, RowsShowTheTopFiveOfTheLogAsItIsWhenTheMenuOpens) {
    menu.open();
    EXPECT_EQ(ranked(), std::vector<std::string>(5, "—"));
    openWithLog(kSeven);
    EXPECT_EQ(ranked(), (std::vector<std::string>{"1 : Terminal", "2 : Editor", "3 : Browser",
                                                  "4 : Mail", "5 : Chat"}));
    EXPECT_EQ(title(MenuItem::Rank1), "1 : Terminal" + std::string(36, ' ') + "3,724");

    openWithLog({{"Music", "10.000000"}, {"Files", "20.000000"}, {"Music", "15.000000"}});
    EXPECT_EQ(ranked(), (std::vector<std::string>{"1 : Music", "2 : Files", "3 : Browser",
                                                  "4 : Mail", "5 : Chat"}));
}

// Between openings the menu reads on only from the recorder's own records;
// a change by another between two of them shows at the next opening.
TEST_F(AppDelegateTest, AnEditBetweenRecordsShowsAtTheNextOpening) {
    fakes.workspace.setActiveApplication("Editor");
    fakes.windowList.setWindows({{"Editor", "Notes"}, {"Browser", "News"}});
    launchAsLoginItem();
    auto switchAfter = [&](int seconds, const char* to) {
        fakes.clock.advance(std::chrono::seconds(seconds));
        fakes.workspace.switchTo(to);
    };
    switchAfter(100, "Browser");
    switchAfter(200, "Editor");
    menu.open();
    std::string log = fakes.fileSystem.content(kDelegateLog);
    fakes.fileSystem.rewrite(kDelegateLog, log.replace(log.find(",100."), 4, ",900"));
    switchAfter(300, "Browser");
    menu.open();
    EXPECT_TRUE(title(MenuItem::Rank1).starts_with("1 : Editor")) << title(MenuItem::Rank1);
    EXPECT_TRUE(title(MenuItem::Rank1).ends_with("1,200")) << title(MenuItem::Rank1);
}

}  // namespace
}  // namespace tesuko
