// SPDX-License-Identifier: GPL-3.0-or-later
// The report window over a log in memory: what its models and day chart
// hold for a period, the titles of the selected application, following the
// log as it grows, export; and on a real X server (a private Xvfb) that it
// paints its bars.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QProcess>
#include <QScreen>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <optional>

#include "app/desktop/report_colours.h"
#include "app/desktop/report_rule_times.h"
#include "app/desktop/report_window.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_system_log.h"
#include "platform/qt/qt_translations.h"
#include "platform/qt_settings/qt_user_defaults.h"
#include "support/main_loop.h"
#include "support/temp_dir.h"

namespace tesuko {
namespace {

constexpr const char* kLog = "/home/user/Desktop/TESUKO/log.csv";
constexpr const char* kRules = "/home/user/.config/tesuko/rules";

std::string record(const std::string& dayAndTime, const std::string& app, const std::string& title,
                   const std::string& seconds) {
    return "2026年12月" + dayAndTime + "," + app + "," + title + ",1,2," + seconds + "\n";
}

// A dark theme's palette: light text on near black, Breeze's blue highlight.
QPalette darkPalette() {
    QPalette dark(QColor(0x31, 0x36, 0x3b), QColor(0x2a, 0x2e, 0x32));
    dark.setColor(QPalette::Base, QColor(0x1b, 0x1e, 0x20));
    dark.setColor(QPalette::Highlight, QColor(0x3d, 0xae, 0xe9));
    return dark;
}

TEST(ReportColours, ChartsStandOutFromLightAndDarkBackgrounds) {
    EXPECT_NEAR(contrastRatio(Qt::black, Qt::white), 21, 1e-9);
    EXPECT_NEAR(contrastRatio(QColor(0x76, 0x76, 0x76), Qt::white), 4.54, 0.01);
    QPalette light(Qt::lightGray, Qt::white);
    light.setColor(QPalette::Highlight, QColor(0x3d, 0xae, 0xe9));  // 2.5:1 on white
    for (const QPalette& palette : {light, darkPalette()}) {
        const ChartColours colours = ChartColours::of(palette);
        for (const QColor& bar : {colours.total, colours.selected}) {
            EXPECT_GE(contrastRatio(bar, palette.color(QPalette::Base)), 3.0)
                << bar.name().toStdString();
        }
        EXPECT_NE(colours.total, colours.selected);
        for (int index = 0; index < 8; ++index) {
            EXPECT_GE(contrastRatio(categoryColour(palette, index), palette.color(QPalette::Base)),
                      3.0);
        }
        EXPECT_NE(categoryColour(palette, 0), categoryColour(palette, 1));
    }
}

TEST(ReportTimeline, ShowsGapsOfAMinuteOrMore) {
    std::vector<IntervalPart> parts;
    for (auto [start, seconds] :
         {std::pair(0, 100.4), {159, 1}, {300, 600}, {360, NAN}, {962, 1}}) {
        parts.push_back({0, start, "app", "title", seconds});
    }
    std::vector<std::tuple<double, double, bool>> spans;
    for (const TimelineSpan& span : timelineSpans(parts)) {
        spans.emplace_back(span.start, span.end, span.part.has_value());
    }
    EXPECT_EQ(spans, (decltype(spans){{0, 100.4, true},
                                      {159, 160, true},
                                      {160, 300, false},
                                      {300, 900, true},
                                      {360, 360, true},  // overlapping: the clock was set back
                                      {900, 962, false},
                                      {962, 963, true}}));
}

// A Log of fakes in Tokyo on Thursday 2026-12-03 at noon, a window on it, on
// the platform given (before the application is made).
class ReportWindowTest : public ::testing::Test {
  protected:
    explicit ReportWindowTest(const char* platform = "offscreen")
        : timeZone_(::setenv("TZ", "Asia/Tokyo", 1)),
          platform_(::setenv("QT_QPA_PLATFORM", platform, 1)) {
        clock.setWall(std::chrono::system_clock::from_time_t(1796266800));
        files.addFile(kLog, record("01日 10時00分00秒", "Mail", "Inbox", "600.000000") +
                                record("03日 09時00分00秒", "Editor", "draft 1", "5400.000000") +
                                record("03日 10時30分00秒", "Mail", "Inbox", "600.000000") +
                                record("03日 23時30分00秒", "Editor", "draft 2", "3600.000000"));
    }
    QVariant cell(const QAbstractItemModel& model, int row, int column,
                  int role = Qt::DisplayRole) {
        return model.data(model.index(row, column), role);
    }

    int timeZone_;
    int platform_;
    int argc_ = 1;
    char name_[8] = "tesuko";
    char* argv_[2] = {name_, nullptr};
    QApplication application_{argc_, argv_};
    FakeFileSystem files;
    FakeSystemLog systemLog;
    FakeClock clock;
    Log log{files, systemLog, [] { return std::string(kLog); }};
    std::optional<ReportWindow> window;
};

TEST_F(ReportWindowTest, ShowsThePeriodTheTitlesByTimeAndFollowsTheLog) {
    window.emplace(log, files, clock, "de_DE");
    window->showAndRaise();
    window->choose(ReportWindow::Choice::today);
    const auto& apps = window->applications();
    ASSERT_EQ(apps.rowCount(), 2);
    EXPECT_EQ(cell(apps, 0, 0).toString(), "Editor");
    EXPECT_EQ(cell(apps, 0, 1).toString(), "2:00");  // 1:30, and 0:30 before midnight
    EXPECT_EQ(cell(apps, 0, 2).toString(), "92.3 %");
    EXPECT_NEAR(cell(apps, 1, 2, ReportApplicationsModel::ShareRole).toDouble(), 600.0 / 7800,
                1e-9);
    EXPECT_FALSE(window->dayChart().isVisibleTo(&*window)) << "one day needs no chart";
    EXPECT_EQ(window->timeline().spans().size(), 4u) << "Editor, Mail, a gap, Editor";

    window->choose(ReportWindow::Choice::thisMonth);
    window->stepPeriod(-1);
    EXPECT_EQ(rangeText(window->range()), "2026-11-01 to 2026-11-30");
    window->showToday();
    EXPECT_EQ(rangeText(window->range()), "2026-12-01 to 2026-12-03") << "up to today";
    clock.setWall(std::chrono::system_clock::from_time_t(1796266800 + 86400));
    window->choose(ReportWindow::Choice::thisWeek);  // from Monday in Germany, until today
    window->selectApplication("Editor");
    std::vector<double> perDay;
    std::vector<double> editorPerDay;
    for (const auto& day : window->dayChart().days()) {
        perDay.push_back(day.seconds);
        editorPerDay.push_back(day.application);
    }
    EXPECT_TRUE(window->dayChart().isVisibleTo(&*window));
    EXPECT_EQ(perDay, (std::vector<double>{0, 600, 0, 7800, 1800}));
    EXPECT_EQ(editorPerDay, (std::vector<double>{0, 0, 0, 7200, 1800}));
    // Each title once, most time first; under it, its parts in order.
    const auto& titles = window->titles();
    ASSERT_EQ(titles.rowCount(), 2);
    const char* expected[][3] = {{"draft 1", "1:30:00", "2026-12-03 09:00:00"},
                                 {"draft 2", "1:00:00", "2026-12-03 23:30:00"},
                                 {"", "0:30:00", "2026-12-03 23:30:00"},
                                 {"", "0:30:00", "2026-12-04 00:00:00"}};
    const QModelIndex draft2 = titles.index(1, 0);
    ASSERT_EQ(titles.rowCount(draft2), 2);
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 2; ++row) {
            EXPECT_EQ(cell(titles, row, column).toString(), expected[row][column]) << row;
            EXPECT_EQ(titles.index(row, column, draft2).data().toString(),
                      expected[row + 2][column]);
        }
    }

    // A record written while the window is open shows without a hand on it.
    files.rewrite(kLog, files.content(kLog) + record("03日 11時00分00秒", "Chat", "team", "60.0"));
    EXPECT_TRUE(pumpUntil([&] { return window->applications().rowCount() == 3; }));
    EXPECT_EQ(cell(apps, 0, 0).toString(), "Editor") << "the selection stays";
    EXPECT_EQ(window->titles().rowCount(), 2);

    const std::pair<std::string, std::string> exports[] = {
        {"table", "from 2026-11-30 to 2026-12-05 (exclusive)"},
        {"csv", "2026-11-30T00:00:00+09:00,2026-12-05T00:00:00+09:00,Chat,60.000000\r"},
        {"json", "\"2026-12-05T00:00:00+09:00\",\n  \"rows\": [\n    {\"application\": \"Editor\""},
        {"json-array", "[\n  {\"application\": \"Editor\""},
        {"aw-json", "\"title\": \"draft 2\""}};
    for (const auto& [format, expected] : exports) {
        ASSERT_EQ(window->exportTo(QString::fromStdString("/out/week." + format),
                                   *reportFormatNamed(format)),
                  std::nullopt);
        EXPECT_NE(files.content("/out/week." + format).find(expected), std::string::npos)
            << files.content("/out/week." + format);
    }
    EXPECT_EQ(window->exportTo("/out/week.csv/x.csv", *reportFormatNamed("csv")),
              "something other than a folder is there");
}

// With rules: applications by their aliases, a tree of categories, and a
// picked category (its children's time included) filtering the lists.
TEST_F(ReportWindowTest, ShowsCategoriesAndFiltersByThePickedOne) {
    files.addFile(kRules,
                  "alias Editor = Writer\nWork/Mail = app Mail\nWork/Drafts = title "
                  "\"draft 1\"\n");
    window.emplace(log, files, clock, "de_DE", kRules);
    window->showAndRaise();
    window->choose(ReportWindow::Choice::thisWeek);  // Monday to today, Thursday
    const auto& tree = window->categories();
    ASSERT_EQ(tree.rowCount(), 2);
    EXPECT_EQ(cell(tree, 0, 0).toString() + " " + cell(tree, 0, 1).toString(), "Work 1:50");
    EXPECT_EQ(tree.index(0, 0, tree.index(0, 0)).data().toString(), "Drafts");
    EXPECT_EQ(cell(tree, 1, 0).toString(), "Uncategorized");
    auto rowsShown = [&] {
        std::string shown;
        for (int row = 0; row < window->applications().rowCount(); ++row) {
            shown += cell(window->applications(), row, 0).toString().toStdString() + " " +
                     cell(window->applications(), row, 1).toString().toStdString() + ";";
        }
        return shown;
    };
    const std::pair<std::optional<CategoryPick>, std::string> picks[] = {
        {std::nullopt, "Writer 2:00;Mail 0:20;"},
        {CategoryPick{"Work"}, "Writer 1:30;Mail 0:20;"},
        {CategoryPick{"Work/Mail"}, "Mail 0:20;"},
        {CategoryPick{"Wor"}, ""},
        {CategoryPick{std::nullopt}, "Writer 0:30;"}};
    for (const auto& [pick, expected] : picks) {
        window->pickCategory(pick);
        EXPECT_EQ(rowsShown(), expected) << (pick && pick->path ? *pick->path : "-");
    }
    window->selectApplication("Writer");
    ASSERT_EQ(window->titles().rowCount(), 1);
    EXPECT_EQ(cell(window->titles(), 0, 0).toString(), "draft 2");
    EXPECT_EQ(window->dayChart().days().at(3).application, 5400 + 1800);

    ASSERT_EQ(files.removeFile(kRules), std::nullopt);
    window->refresh();
    EXPECT_EQ(tree.rowCount(), 0);
    EXPECT_EQ(rowsShown(), "Editor 2:00;Mail 0:20;");

    ASSERT_EQ(window->addRule("Fun", true, "draft 2", RulePlace{}), std::nullopt);
    EXPECT_EQ(files.content(kRules), "Fun = title \"draft 2\"\n");
    window->pickCategory(CategoryPick{"Fun"});
    EXPECT_EQ(rowsShown(), "Editor 0:30;") << "the new figures";
    EXPECT_EQ(window->addRule("Fun/", false, "Mail", RulePlace{}),
              "“Fun/” is not a category; name one like Work/Mail");
}

// While a folder is shared: every machine's log there, a filter narrowing
// every pane to one machine, and a machine whose log appears later.
TEST_F(ReportWindowTest, ShowsEveryMachineOfTheSharedFolder) {
    const std::string folder = "/home/user/Desktop/TESUKO/";
    files.addFile(folder + "log.machine", "name=desk\n");
    files.addFile(folder + "b.csv", record("03日 08時00分00秒", "Chat", "team", "1200.0"));
    files.addFile(folder + "b.machine", "name=laptop\n");
    window.emplace(log, files, clock, "", "",
                   MachineSharing{systemLog, "/cache", [&] { return std::optional(folder); }});
    window->showAndRaise();
    window->choose(ReportWindow::Choice::today);
    auto shown = [&] {
        std::string text;
        for (int row = 0; row < window->applications().rowCount(); ++row) {
            text += cell(window->applications(), row, 0).toString().toStdString() + ";";
        }
        for (int index = 0; index < window->machineFilter().count(); ++index) {
            text += " " + window->machineFilter().itemText(index).toStdString();
        }
        return text + " " + std::to_string(window->timeline().spans().size());
    };
    EXPECT_EQ(shown(), "Editor;Chat;Mail; All machines desk laptop 6");
    window->machineFilter().setCurrentIndex(2);
    EXPECT_EQ(shown(), "Chat; All machines desk laptop 1");
    files.addFile(folder + "c.csv", record("03日 07時00分00秒", "Game", "level 2", "60.0"));
    window->refresh();
    EXPECT_EQ(shown(), "Chat; All machines c desk laptop 1") << "laptop stays picked";
    window->machineFilter().setCurrentIndex(0);
    EXPECT_EQ(shown(), "Editor;Chat;Mail;Game; All machines c desk laptop 8");
}

// Each category rule's time is what first-match classification gives it.
TEST(ReportRuleTimes, EachRuleTakesTheTimeItDecides) {
    const std::vector<IntervalPart> parts = {{0, 0, "Mail", "Inbox", 60},
                                             {0, 60, "Editor", "draft 1", 600},
                                             {1, 0, "Editor", "notes", 300},
                                             {1, 300, "Mail", "Inbox", 30}};
    const std::pair<std::string, std::map<int, double>> cases[] = {
        {"W = app Mail\nX = app mail\n", {{1, 90}}},
        {"# first\nA = title draft\nB = app Editor\nC = title /./", {{2, 600}, {3, 300}, {4, 90}}},
        {"alias Editor = Writer\nW = app Editor\nV = app Writer title notes\n", {{3, 300}}},
        {"A = app [\nB = app /[/\nC = title Inbox\n", {{3, 90}}},
    };
    for (const auto& [rules, expected] : cases) {
        const RuleFile file = parseRuleFile(rules);
        const std::map<int, double> seconds = secondsPerRule(file, parts);
        EXPECT_EQ(seconds, expected) << rules;
        std::map<std::string, double> byRules;
        for (const CategoryRule& rule : file.rules) {
            if (seconds.contains(rule.line)) {
                byRules[rule.category] += seconds.at(rule.line);
            }
        }
        std::map<std::string, double> classified;
        Classifier classifier{RuleSet(parseRuleFile(rules))};
        for (const IntervalPart& part : parts) {
            if (auto category = classifier.classify(part.application, part.title).category) {
                classified[*category] += part.seconds;
            }
        }
        EXPECT_EQ(byRules, classified) << rules;
    }
}

// The rule line as the rules file reads it, put where it was asked for,
// every other byte kept.
TEST(ReportRuleLine, QuotesAndPlacesTheRule) {
    const std::string mine = "# mine\nalias x = y\nA = app b\n\nB = app c";
    using Kind = RulePlace::Kind;
    struct Case {
        const char* category;
        bool title;
        std::string text;
        RulePlace place;
        std::string file;
        std::optional<std::string> written;
    } cases[] = {
        {"Work", false, "Mail", {}, "", "Work = app \"Mail\"\n"},
        {"W / M", true, "say \"hi\" C:\\x", {}, "", "W / M = title \"say \\\"hi\\\" C:\\\\x\"\n"},
        {"W",
         false,
         "m",
         {Kind::first},
         mine,
         "# mine\nalias x = y\nW = app \"m\"\nA = app b\n\nB = app c"},
        {"W", false, "m", {Kind::first}, "# only\n", "# only\nW = app \"m\"\n"},
        {"W", false, "m", {}, mine, mine + "\nW = app \"m\"\n"},
        {"W",
         false,
         "m",
         {Kind::beforeLine, 5},
         mine,
         "# mine\nalias x = y\nA = app b\n\nW = app \"m\"\nB = app c"},
        {"W", false, "m", {Kind::beforeLine, 1}, mine, "W = app \"m\"\n" + mine},
        {"W//M", false, "m", {}, "", std::nullopt},
        {"alias W", false, "m", {}, "", std::nullopt},
        {"W = app x", false, "m", {}, "", std::nullopt},
    };
    for (const auto& [category, title, text, place, file, written] : cases) {
        const std::optional<std::string> line = ruleLine(category, title, text);
        EXPECT_EQ(line ? std::optional(withRuleLine(file, *line, place)) : std::nullopt, written)
            << category << " " << text;
    }
}

TEST_F(ReportWindowTest, FitsTheScreenAndOpensWhereItWasLeft) {
    const QSize sizes[][3] = {// content, screen's room, first size
                              {{300, 200}, {1280, 800}, {640, 600}},
                              {{1320, 900}, {1280, 800}, {1152, 720}},
                              {{700, 300}, {1280, 800}, {700, 600}}};
    for (const auto& [content, room, first] : sizes) {
        EXPECT_EQ(firstWindowSize(content, room), first) << content.width();
    }
    window.emplace(log, files, clock);
    window->showAndRaise();
    window->setGeometry(60, 50, 700, 500);
    window->close();
    window.emplace(log, files, clock);
    window->showAndRaise();
    EXPECT_EQ(window->geometry(), QRect(60, 50, 700, 500));
}

// A private X server (Xvfb on a display it picks), ended by pid when it goes.
class PrivateX {
  public:
    PrivateX() {
        server_.start("Xvfb",
                      {"-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp"});
        server_.waitForReadyRead(10000);
        std::string display = ":" + server_.readAllStandardOutput().trimmed().toStdString();
        ::setenv("DISPLAY", display.c_str(), 1);
        ::unsetenv("WAYLAND_DISPLAY");
    }
    ~PrivateX() { stop(server_); }

  private:
    QProcess server_;
};

// The server comes first: the application connects to it when made.
class ReportWindowOnXTest : private PrivateX, public ReportWindowTest {
  protected:
    ReportWindowOnXTest() : ReportWindowTest("xcb") {}
};

// Five working days up to Friday 2026-12-04, with a lunch break: what the
// screenshots show.
std::string workingWeek() {
    const char* apps[][3] = {{"Editor", "report.md", "main.cpp"},
                             {"Browser", "Qt Documentation", "Weather"},
                             {"Mail", "Inbox (3)", "Re: budget"},
                             {"Terminal", "make test", "git log"},
                             {"Chat", "#team", "Alex"}};
    const int order[] = {0, 1, 0, 3, 2, 0, 1, 4, 0, 3, 0};
    const int minutes[] = {50, 25, 40, 15, 35, 20, 45, 30};
    std::string log;
    int day = 0;
    for (auto [month, date] : {std::pair(11, 30), {12, 1}, {12, 2}, {12, 3}, {12, 4}}) {
        for (int at = 9 * 60 + day * 7, i = day; at < 17 * 60 + day * 10; at += minutes[i++ % 8]) {
            at = at / 60 == 12 ? 13 * 60 : at;
            const auto& app = apps[order[(i + day) % 11]];
            char line[160];
            std::snprintf(line, sizeof line, "2026年%02d月%02d日 %02d時%02d分00秒,%s,%s,1,2,%d.0\n",
                          month, date, at / 60, at % 60, app[0], app[1 + i % 2],
                          minutes[i % 8] * 60);
            log += line;
        }
        ++day;
    }
    return log;
}

// On a 1280×800 screen in English, dark and Japanese, the window fits and
// paints its bars; the screenshots of the README are taken here.
TEST_F(ReportWindowOnXTest, FitsAndPaintsOnARealXServer) {
    files.rewrite(kLog, workingWeek());
    files.addFile(kRules,
                  "alias Terminal = Console\nWork/Code = app /^(Editor|Console)$/\n"
                  "Work/Mail = app Mail\nWork/Chat = app Chat\nReading = title Documentation\n");
    clock.setWall(std::chrono::system_clock::from_time_t(1796374800));  // Friday 18:00
    // What the X server holds, not what the widget would draw, saved as the file.
    auto shot = [](const QWidget& widget, const std::string& file) {
        QWindow* shown = widget.windowHandle();
        pumpUntil([&] { return shown != nullptr && shown->isExposed(); });
        QApplication::processEvents();
        EXPECT_TRUE(shown->screen()->availableGeometry().contains(widget.frameGeometry())) << file;
        EXPECT_GE(widget.width(), widget.sizeHint().width()) << file << ": nothing cut off";
        QImage image = shown->screen()->grabWindow(widget.winId()).toImage();
        image.save(QString::fromStdString(TESUKO_BINARY_DIR "/tests/" + file + ".png"));
        return image;
    };
    const QPalette light = QApplication::palette();
    const QLocale before;
    struct Shot {
        const char* file;
        const char* language;
        bool dark;
        ReportWindow::Choice choice;
        const char* rules = "";
    };
    for (auto [file, language, dark, choice, rules] :
         {Shot{"report-window", "en_US", false, ReportWindow::Choice::thisWeek},
          {"report-window-dark", "en_US", true, ReportWindow::Choice::thisWeek},
          {"report-window-ja", "ja_JP", false, ReportWindow::Choice::thisWeek},
          {"report-timeline", "en_US", false, ReportWindow::Choice::today},
          {"report-categories", "en_US", false, ReportWindow::Choice::thisWeek, kRules}}) {
        QLocale::setDefault(QLocale(language));
        const QtTranslations translations{QLocale(language)};
        QApplication::setPalette(dark ? darkPalette() : light);
        QtUserDefaults().set("reportWindowGeometry", "");
        window.emplace(log, files, clock, language, rules);
        window->showAndRaise();
        window->choose(choice);
        window->selectApplication("Editor");
        const QImage image = shot(*window, file);
        ASSERT_FALSE(image.isNull());
        const QColor selected = ChartColours::of(window->palette()).selected;
        int highlighted = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                highlighted += image.pixelColor(x, y) == selected ? 1 : 0;
            }
        }
        EXPECT_GT(highlighted, 200) << file << ": the selected application's bars";
    }
    QLocale::setDefault(before);

    // This machine and a laptop used in the evenings, sharing a folder.
    const std::string folder = "/home/user/Desktop/TESUKO/";
    files.addFile(folder + "log.machine", "name=desk\n");
    files.addFile(folder + "laptop.machine", "name=laptop\n");
    files.addFile(folder + "laptop.csv",
                  record("01日 19時00分00秒", "Browser", "News", "3600") +
                      record("02日 20時00分00秒", "Editor", "notes", "2700") +
                      record("04日 19時30分00秒", "Chat", "Alex", "1800"));
    window.emplace(log, files, clock, "en_US", "",
                   MachineSharing{systemLog, "/cache", [&] { return std::optional(folder); }});
    window->showAndRaise();
    window->selectApplication("Editor");
    EXPECT_FALSE(shot(*window, "report-machines").isNull());

    files.rewrite(kRules, files.content(kRules) + "Leisure = app Browser titel Weather\n");
    window.emplace(log, files, clock, "en_US", kRules);
    window->showAndRaise();
    window->editRules();
    EXPECT_EQ(window->rulesEditor()->findings().count(), 5) << "the broken line and four rules";
    EXPECT_FALSE(shot(*window->rulesEditor(), "rules-editor").isNull());
}

}  // namespace
}  // namespace tesuko
