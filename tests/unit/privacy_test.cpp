// SPDX-License-Identifier: GPL-3.0-or-later
#include <vector>

#include "settings/privacy_rules.h"
#include "tests/unit/app_delegate_fixture.h"

namespace tesuko {
namespace {

using namespace std::chrono;

// Whole titles, blind to case, to how a character is composed and to what no
// one sees; the browsers' private windows as they really title them.
TEST(PrivacyRulesTest, TitlePatternsMatchWholeTitles) {
    const PrivacyRules defaults({defaultPrivateTitles(), {}, {}});
    for (const char* title :
         {"Bank \u2014 Mozilla Firefox Private Browsing", "Mozilla Firefox Private Browsing",
          "Bank \u2014 LibreWolf Private Browsing", "Bank - Mozilla Firefox (Private Browsing)",
          "New Tab - Google Chrome (Incognito)", "Bank - Chromium (Incognito)",
          "Bank - InPrivate - Microsoft\u200b Edge", "Bank - [InPrivate] - Microsoft Edge",
          "Private Browsing", "PRIVATE BROWSING", "Bank - Chromium (Incognito)\u200b",
          "Bank \u2014 Mozilla Firefox Private Browsing \u2060\u00a0\t",
          "\u200b Private\u00ad Browsing\ufe0f "}) {
        EXPECT_TRUE(defaults.hidesTitle("Browser", title)) << title;
    }
    for (const char* title : {"Bank \u2014 Mozilla Firefox", "New Tab - Google Chrome",
                              "Private Browsing FAQ \u2014 Mozilla Firefox", "Incognito.txt"}) {
        EXPECT_FALSE(defaults.hidesTitle("Browser", title)) << title;
    }
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"*bank*", "My BANK statement", true},
        {"bank", "bank statement", false},
        {"b?nk", "b\u00F8nk", true},
        {"b?nk", "bnk", false},
        {"[a-c]x", "Bx", true},
        {"[!a-c]x", "bx", false},
        {"[]]", "]", true},
        {"\\*", "*", true},
        {"\\*", "a", false},
        {"*\u00C9T\u00C9*", "l'e\u0301te\u0301 !", true},
        {"\u03A3*", "\u03C2\u03BF\u03C5", true},
        {"*a*b*c", "aXbYbZc", true},
        {"*a*b*c", "aXbYcZ", false}};
    for (const auto& [pattern, title, matches] : cases) {
        EXPECT_EQ(PrivacyRules({{pattern}, {}, {}}).hidesTitle("App", title), matches)
            << pattern << " / " << title;
    }
    EXPECT_TRUE(PrivacyRules({{}, {"keepassxc"}, {}}).hidesTitle("KeePassXC", "Bank"));
    EXPECT_TRUE(PrivacyRules({{}, {}, {"\u00C4pp"}}).untracked("\u00E4pp"));
    // Refused with a reason (the dialog shows it), and left out.
    for (const char* pattern : {"", "[abc", "ab\\", "[z-a]", "[!]"}) {
        EXPECT_TRUE(TitlePattern::problem(pattern)) << pattern;
        EXPECT_EQ(PrivacyRules({{pattern, "*ok*"}, {}, {}}).refused().size(), 1u) << pattern;
    }
    EXPECT_EQ(decodeList(encodeList({"a b", "*(x)*"})), (std::vector<std::string>{"a b", "*(x)*"}));
}

// Recording since 13:40:00 with Editor in front; Secret untracked, and the
// browsers' private windows private by default. Each row: what happens, the
// records it leaves (without their day) and the tooltip.
TEST(PrivacySessionTest, PrivateTitlesUntrackedApplicationsTimedPausesAndForgetting) {
    const Status recording{Recording{}, {}, {}};
    const std::tuple<const char*, std::vector<std::string>, Status> rows[] = {
        {"+3 S +5 B +2 E",
         {"13時40分00秒,Editor,Notes,0,0,3.000000", "13時40分08秒,Browser,News,0,0,2.000000"},
         recording},
        {"+2 F +3 E",
         {"13時40分00秒,Editor,Notes,0,0,2.000000", "13時40分02秒,Firefox,Firefox,0,0,3.000000"},
         recording},
        {"+3 hideE +4 B +1 E +2 B",
         {"13時40分00秒,Editor,Notes,0,0,3.000000", "13時40分07秒,Browser,News,0,0,1.000000"},
         recording},
        {"+3 p15 +60 B +5 E ring +4 B",
         {"13時40分00秒,Editor,Notes,0,0,3.000000", "13時41分08秒,Editor,Notes,0,0,4.000000"},
         recording},
        {"+3 p15 +2 start +4 B",
         {"13時40分00秒,Editor,Notes,0,0,3.000000", "13時40分05秒,Editor,Notes,0,0,4.000000"},
         recording},
        {"+3 p15 lock ring +5 unlock +2 B",
         {"13時40分00秒,Editor,Notes,0,0,3.000000", "13時40分08秒,Editor,Notes,0,0,2.000000"},
         recording},
        {"p1h",
         {"13時40分00秒,Editor,Notes,0,0,0.000000"},
         Status{PausedUntil{14, 40, false}, {}, {}}},
        {"ptm",
         {"13時40分00秒,Editor,Notes,0,0,0.000000"},
         Status{PausedUntil{0, 0, true}, {}, {}}},
        {"+3 p15 stop ring", {"13時40分00秒,Editor,Notes,0,0,3.000000"}, Status{Stopped{}, {}, {}}},
        {"+600 B +600 E +300 forget +10 B",
         {"13時40分00秒,Editor,Notes,0,0,600.000000", "14時05分00秒,Editor,Notes,0,0,10.000000"},
         recording},
        {"+1000 B +200 forget", {"13時40分00秒,Editor,Notes,0,0,300.000000"}, recording},
        {"+1200 forget +5 B",
         {"13時40分00秒,Editor,Editor,0,0,300.000000", "14時00分00秒,Editor,Notes,0,0,5.000000"},
         recording},
        {"+600 B +300 forget", {}, recording},
        {"uncounted", {}, Status{Recording{std::nullopt, false}, {}, kDelegateNotice}},
        {"+5 E ro forget",
         {"13時40分00秒,Editor,Notes,0,0,5.000000"},
         Status{Recording{},
                LogProblem{LogProblem::Doing::rewritingLog, kDelegateLog,
                           FileFault(FileFault::Cause::system, EACCES)},
                {}}},
    };
    const std::string cache = "/home/user/.cache/tesuko/totals.cache";
    for (const auto& [events, records, status] : rows) {
        SCOPED_TRACE(events);
        DelegateOverFakes c;
        FakeSessionEvents session;
        c.fakes.clock.setWall(sys_days{2026y / 12 / 5} + 13h + 40min);
        c.fakes.userDefaults.values["untrackedApplications"] = "Secret";
        c.fakes.workspace.setActiveApplication("Editor");
        c.fakes.windowList.setWindows({{"Editor", "Notes"},
                                       {"Browser", "News"},
                                       {"Firefox", "Bank \u2014 Mozilla Firefox Private Browsing"},
                                       {"Secret", "Vault"}});
        c.fakes.fileSystem.addFile(cache, "stale");
        c.launchAsLoginItem();
        c.delegate.followSession(session);
        play(c, session, events);
        std::vector<std::string> written;
        std::istringstream lines(c.fakes.fileSystem.content(kDelegateLog));
        for (std::string line; std::getline(lines, line);) {
            written.push_back(line.substr(line.find(' ') + 1));
        }
        EXPECT_EQ(written, records);
        EXPECT_EQ(c.menu.status, status);
        EXPECT_EQ(c.view(MenuItem::PauseFor1Hour).action.has_value(),
                  !std::holds_alternative<Stopped>(status.state));
        const bool forgot =
            std::string(events).find("forget") != std::string::npos && !status.forgetProblem;
        EXPECT_EQ(c.fakes.fileSystem.exists(cache), !forgot) << "the ranking cache";
    }
}

}  // namespace
}  // namespace tesuko
