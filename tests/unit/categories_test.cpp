// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "categories/category_tree.h"
#include "categories/classifier.h"
#include "categories/rule_file.h"

namespace tesuko {
namespace {

using Kind = RuleProblem::Kind;

// Each broken line is found where it breaks, and the lines around it apply.
TEST(RuleFileTest, BrokenLinesAreReportedWithTheirPlaceAndTheOthersApply) {
    const std::tuple<const char*, int, Kind, const char*> cases[] = {
        {"Work", 5, Kind::missingEquals, ""},
        {"Work = ", 8, Kind::missingCondition, ""},
        {"Work/ /Mail = app x", 1, Kind::emptyCategory, ""},
        {"Work = apps x", 8, Kind::unknownCondition, "apps"},
        {"Work = app x app y", 14, Kind::repeatedCondition, "app"},
        {"Work = title", 13, Kind::missingPattern, ""},
        {"Work = title /a(b", 14, Kind::unclosedPattern, ""},
        {"Wörk = title \"Ünclosed", 14, Kind::unclosedPattern, ""},
        {"alias x =", 10, Kind::emptyName, ""},
        {"alias x y", 9, Kind::missingEquals, ""},
        {"Work = app \xff", 1, Kind::notUtf8, ""},
    };
    for (const auto& [line, column, kind, detail] : cases) {
        RuleFile file = parseRuleFile(std::string("A = app a\n") + line + "\nB = app b\n");
        ASSERT_EQ(file.problems.size(), 1u) << line;
        EXPECT_EQ(file.problems[0], (RuleProblem{2, column, kind, detail}))
            << ruleProblemText(line, file.problems[0]);
        EXPECT_EQ(file.rules.size(), 2u) << line;
        EXPECT_EQ(file.rules.back().line, 3) << line;
    }
    EXPECT_EQ(ruleProblemText("rules", {4, 8, Kind::unknownCondition, "apps"}),
              "rules:4:8: expected \"app\" or \"title\", not \"apps\"");
}

TEST(RuleFileTest, ReadsPatternsPathsAndComments) {
    RuleFile file = parseRuleFile(
        "# comment\n\n  alias org.mozilla.firefox=Mozilla Firefox \r\n"
        "alias /^fire\\/fox/ = Firefox\n"
        " Work / Code/tesuko =title \"say \\\"hi\\\" \\\\\" app /k\\/ate/\n");
    ASSERT_TRUE(file.problems.empty()) << ruleProblemText("rules", file.problems[0]);
    EXPECT_EQ(file.aliases,
              (std::vector<Alias>{{{"org.mozilla.firefox", false, 9}, "Mozilla Firefox", 3},
                                  {{"^fire\\/fox", true, 7}, "Firefox", 4}}));
    EXPECT_EQ(file.rules,
              (std::vector<CategoryRule>{{"Work/Code/tesuko", Pattern{"k\\/ate", true, 48},
                                          Pattern{"say \"hi\" \\", false, 28}, 5}}));
}

TEST(RuleSetTest, AliasesComeFirstAndTheFirstMatchingRuleDecides) {
    RuleSet rules(
        parseRuleFile("alias org.mozilla.firefox = Firefox\n"
                      "alias /^firefox/ = Firefox\n"
                      "alias Firefox = Never seen: the first alias decides\n"
                      "Work/Docs = app firefox title /\\bmanual\\b/\n"
                      "Leisure = app FIREFOX\n"
                      "Work/Mail = title inbox\n"
                      "Work = title /(/\n"));
    ASSERT_EQ(rules.problems().size(), 1u);
    EXPECT_EQ(rules.problems()[0].kind, Kind::badRegex);
    EXPECT_EQ(rules.problems()[0].line, 7);
    const std::tuple<const char*, const char*, const char*, std::optional<std::string>> cases[] = {
        {"org.mozilla.firefox", "The manual", "Firefox", "Work/Docs"},
        {"firefox-esr", "Manuals", "Firefox", "Leisure"},
        {"org.mozilla.firefox.beta", "x", "org.mozilla.firefox.beta", "Leisure"},
        {"Thunderbird", "INBOX (3)", "Thunderbird", "Work/Mail"},
        {"Thunderbird", "Drafts", "Thunderbird", std::nullopt},
    };
    Classifier classifier(std::move(rules));
    for (const auto& [application, title, shown, category] : cases) {
        const Classification& found = classifier.classify(application, title);
        EXPECT_EQ(found.shownName, shown) << application << " " << title;
        EXPECT_EQ(found.category, category) << application << " " << title;
    }
}

// A pattern that backtracks without end is stopped, said once, and skipped.
TEST(RuleSetTest, APatternPastItsTimeLimitStopsApplying) {
    RuleSet rules(parseRuleFile("Slow = title /^(a|aa)+$/\nAs = title aaa\n"));
    const std::string title = std::string(200, 'a') + "b";
    EXPECT_EQ(rules.categoryOf("x", title), "As");
    EXPECT_EQ(rules.problems(), (std::vector<RuleProblem>{{1, 14, Kind::tooSlow, ""}}));
    EXPECT_EQ(rules.categoryOf("x", "aa"), std::nullopt);
    EXPECT_EQ(rules.problems().size(), 1u);
}

TEST(CategoryTreeTest, SumsRollUpAndSiblingsGoByTime) {
    const std::vector<CategoryRow> rows = categoryTree({{"Work/Mail", 10},
                                                        {std::nullopt, 7},
                                                        {"Work/Code/tesuko", 30},
                                                        {"Leisure", 20},
                                                        {"Work", 5},
                                                        {"Work/Mail", 2}});
    EXPECT_EQ(rows, (std::vector<CategoryRow>{{"Work", 0, 47},
                                              {"Work/Code", 1, 30},
                                              {"Work/Code/tesuko", 2, 30},
                                              {"Work/Mail", 1, 12},
                                              {"Leisure", 0, 20},
                                              {std::nullopt, 0, 7}}));
}

}  // namespace
}  // namespace tesuko
