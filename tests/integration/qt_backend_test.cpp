// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt backends: the tray menu, the privacy dialog and the settings store.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QPushButton>
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>

#include "fakes/fake_system_log.h"
#include "platform/qt/qt_privacy_dialog.h"
#include "platform/qt/qt_rank_row.h"
#include "platform/qt/qt_status_menu.h"
#include "platform/qt/qt_translations.h"
#include "platform/qt/qt_tray_icons.h"
#include "platform/qt_settings/qt_user_defaults.h"
#include "settings/privacy_setting.h"
#include "support/temp_dir.h"
#include "tests/scoped_env.h"

namespace tesuko {
namespace {

namespace fs = std::filesystem;

// Widgets need an application, one for each test: on the minimal platform, which
// needs no display and loads no fontconfig (its caches read as leaks under the
// sanitizers).
class QtWidgetsTest : public ::testing::Test {
  protected:
    [[maybe_unused]] bool minimal_ = ::setenv("QT_QPA_PLATFORM", "minimal", 0) == 0;
    int argc_ = 1;
    char name_[13] = "tesuko-tests";
    char* argv_[2] = {name_, nullptr};
    QApplication application_{argc_, argv_};
};

// Items are found by their text, rows ("—" until retitled) by their place
// among the rows.
class QtStatusMenuTest : public QtWidgetsTest {
  protected:
    QtStatusMenuTest() {
        menu.onCommand([this](MenuCommand command) { sent.push_back(command); });
    }
    QAction& titled(const QString& text, int skip = 0) {
        for (QAction* action : menu.menu().actions()) {
            if (action->text() == text && skip-- == 0) {
                return *action;
            }
        }
        throw std::runtime_error("no item " + text.toStdString());
    }

    FakeSystemLog systemLog;
    QtStatusMenu menu{systemLog};
    std::vector<MenuCommand> sent;
};

TEST_F(QtStatusMenuTest, AnItemSendsItsCommandOnlyWhileItHasOneAndQuitOnlyQuits) {
    int quits = 0;
    menu.onQuit([&] { ++quits; });
    // Each command item's text, in the order of MenuItem.
    const char* texts[] = {"Start Recording",
                           "Stop Recording",
                           "Pause for 15 Minutes",
                           "Pause for 1 Hour",
                           "Pause Until Tomorrow",
                           "Forget the Last 15 Minutes",
                           "Save Log As…",
                           "Share with Other Machines…",
                           "Open at Login",
                           "Pause When Idle",
                           "Privacy…",
                           "Show Report…"};
    for (int i = 0; i < int(std::size(texts)); ++i) {
        const MenuItem item = MenuItem(i);
        const char* text = texts[i];
        sent.clear();
        std::optional<MenuCommand> loaded = menu.action(item);
        ASSERT_TRUE(loaded) << text;
        menu.setAction(item, std::nullopt);
        EXPECT_FALSE(titled(text).isEnabled()) << text;
        titled(text).trigger();
        menu.setAction(item, loaded);
        titled(text).trigger();
        EXPECT_EQ(sent, std::vector<MenuCommand>{*loaded}) << text;
    }
    titled("Quit tesuko").trigger();
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(sent.size(), 1u) << "Quit sends no command";
}

// A row keeps the text the ranking wrote (a StatusNotifierItem host shows
// it); the menu draws its total as a right-aligned column, in the normal
// text colour, and choosing the row does nothing.
TEST_F(QtStatusMenuTest, RankRowsKeepTheirTextDrawTotalsAsAColumnAndCannotBeChosen) {
    const std::string pad(30, ' ');
    menu.onMenuWillOpen([&] {
        menu.setTitle(MenuItem::Rank1, "1 : Editor    " + pad + "1,234");
        menu.setTitle(MenuItem::Rank5, "5 : Tom & Jerry 日本    " + pad + "7");
    });
    menu.menu().popup(QPoint(0, 0));
    QAction& fifth = titled(QString::fromStdString("5 : Tom && Jerry 日本    " + pad + "7"));
    EXPECT_EQ(&fifth, menu.menu().actions().at(menu.menu().actions().indexOf(&titled("—", 2)) + 1));
    const QtRankRow& first = *menu.rankRow(MenuItem::Rank1);
    const QtRankRow& last = *menu.rankRow(MenuItem::Rank5);
    EXPECT_EQ(first.name(), "1 : Editor");
    EXPECT_EQ(first.total(), "1,234");
    EXPECT_EQ(last.name(), "5 : Tom && Jerry 日本");
    EXPECT_EQ(last.total(), "7");
    EXPECT_EQ(first.totalRect().right(), last.totalRect().right());
    EXPECT_LT(first.totalRect().left(), last.totalRect().left());

    EXPECT_TRUE(fifth.isEnabled()) << "not greyed out";
    EXPECT_EQ(last.focusPolicy(), Qt::NoFocus);
    fifth.trigger();
    EXPECT_TRUE(sent.empty());
}

TEST(RankColumnsTest, TheTotalFollowsTheLastRunOfFourSpaces) {
    const struct {
        const char* title;
        const char* name;
        const char* total;
    } cases[] = {
        {"1 : Editor          12", "1 : Editor", "12"},
        {"2 : a    b    3", "2 : a    b", "3"},
        {"3 : Mail    1\u202F234", "3 : Mail", "1\u202F234"},
        {"—", "—", ""},
    };
    for (const auto& c : cases) {
        RankColumns columns = rankColumns(QString::fromUtf8(c.title));
        EXPECT_EQ(columns.name, QString::fromUtf8(c.name)) << c.title;
        EXPECT_EQ(columns.total, QString::fromUtf8(c.total)) << c.title;
    }
}

// Once the symbolic forms are installed, a StatusNotifierItem host gets their
// name and an XEmbed tray the same colours as before.
TEST_F(QtStatusMenuTest, TheIconShowsEachStateInAnImageOfItsOwn) {
    std::vector<QImage> images;
    for (TrayState state : {TrayState::recording, TrayState::paused, TrayState::stopped}) {
        menu.showTrayState(state);
        images.push_back(menu.trayIcon().icon().pixmap(16, 16).toImage());
        ASSERT_FALSE(images.back().isNull());
        ScopedEnv installed("XDG_DATA_DIRS", TESUKO_SOURCE_DIR "/data");
        menu.showTrayState(state);
        EXPECT_EQ(menu.trayIcon().icon().name(), stateIconName(state) + "-symbolic");
        EXPECT_EQ(menu.trayIcon().icon().pixmap(16, 16).toImage(), images.back());
    }
    EXPECT_NE(images[0], images[1]);
    EXPECT_NE(images[1], images[2]);
    EXPECT_NE(images[0], images[2]);
}

// The status in English and in Japanese, line by line; what the system says
// and a path (even one with "%2" in it) as they came; the log's path last.
TEST_F(QtStatusMenuTest, TheMenuAndTooltipSpeakTheUsersLanguage) {
    using Kind = DesktopNotice::Kind;
    const LogProblem full{LogProblem::Doing::writingRecord, "/a: b/log.csv",
                          FileFault(FileFault::Cause::system, ENOSPC)};
    const LogProblem unread{LogProblem::Doing::readingLog, "%2",
                            FileFault(FileFault::Cause::tooLarge, 0, 1000)};
    const struct {
        Status status;
        const char* english;
        const char* japanese;
    } cases[] = {
        {{PausedUntil{14, 5, false}, {}, {}}, "Paused until 14:05", "14:05 まで一時停止中"},
        {{PausedUntil{0, 0, true}, {}, {}},
         "Paused until 00:00 tomorrow",
         "明日の 00:00 まで一時停止中"},
        {{Away::idle, {}, {}}, "Paused: idle", "一時停止中: 無操作"},
        {{Recording{full, false}, {}, DesktopNotice{Kind::logInAgain, 0, 0, ""}},
         "Recording, but records cannot be written. Could not write a record to /a: b/log.csv: No "
         "space left on device\nClicks and keys are not counted on this desktop\nLog out and back "
         "in once for tesuko to see the windows: GNOME Shell loads its extension only at login",
         "記録中ですが、記録を書き込めません。/a: b/log.csv に記録を書き込めませんでした: No space "
         "left on device\nこのデスクトップではクリックとキー入力を数えません\ntesuko がウィンドウを"
         "認識できるよう、一度ログアウトしてログインし直してください (GNOME Shell "
         "は拡張機能をログイン"
         "時にだけ読み込みます)"},
        {{Stopped{}, {}, DesktopNotice{Kind::untestedShell, 50, 51, ""}},
         "Stopped\ntesuko's extension is tested with GNOME Shell up to 50, not yet 51. To try it "
         "anyway, run: gsettings set org.gnome.shell disable-extension-version-validation true, "
         "then log out and back in",
         "停止中\ntesuko の拡張機能は GNOME Shell 50 までで検証済みで、51 ではまだです。"
         "それでも試すには gsettings set org.gnome.shell disable-extension-version-validation "
         "true を実行してから、一度ログアウトしてログインし直してください"},
        {{Recording{}, {}, {}, RulesTrouble{"/r", 2, 3, 4}},
         "Recording\nLines of the rules in /r that do not apply: 2, the first at line 3, column "
         "4; see the system log",
         "記録中\nルール /r のうち適用されない行: 2 行、最初は 3 行目の 4 文字目。"
         "システムログを見てください"},
        {{Recording{}, unread, {}},
         "Recording\nCould not forget the last 15 minutes: could not read %2: larger than 1000 "
         "bytes",
         "記録中\n直近 15 分間を忘れられませんでした: %2 を読めませんでした: 1000 "
         "バイトを超えています"},
    };
    const std::string log = "/home/u/デスクトップ/TESUKO/log.csv";
    for (const bool inJapanese : {false, true}) {
        std::optional<QtTranslations> japanese;
        if (inJapanese) {
            japanese.emplace(QLocale(QLocale::Japanese, QLocale::Japan));
            ASSERT_TRUE(japanese->translated());
        }
        QtStatusMenu menu(systemLog);
        const QList<QAction*> items = menu.menu().actions();
        EXPECT_EQ(items.first()->text().toStdString(),
                  inJapanese ? "記録を開始" : "Start Recording");
        menu.showLogPath(log);
        for (const auto& c : cases) {
            menu.showStatus(c.status);
            EXPECT_EQ(menu.trayIcon().toolTip().toStdString(),
                      "tesuko: " + std::string(inJapanese ? c.japanese : c.english) +
                          (inJapanese ? "\nログ: " : "\nLog: ") + log);
        }
    }
}

// The settings say where the log of window titles lives: private like the log.
// New, or left open to others by an older version.
TEST(QtUserDefaultsTest, TheStoreIsPrivateToTheUser) {
    for (bool leftOpen : {false, true}) {
        TempDir dir;
        if (leftOpen) {
            fs::create_directories(dir / "tesuko");
            writeFile(dir / "tesuko/tesuko.conf", "[General]\n");
            fs::permissions(dir / "tesuko", fs::perms(0755));
            fs::permissions(dir / "tesuko/tesuko.conf", fs::perms(0644));
        }
        QtUserDefaults defaults(QString::fromStdString(dir / "tesuko/tesuko.conf"));
        defaults.set("saveFilePath", "file:///home/u/log.csv");
        ASSERT_TRUE(defaults.synchronize());
        EXPECT_EQ(fs::status(dir / "tesuko").permissions(), fs::perms::owner_all) << leftOpen;
        EXPECT_EQ(fs::status(dir / "tesuko/tesuko.conf").permissions(),
                  fs::perms::owner_read | fs::perms::owner_write);
    }
}

// Values edited by hand: commas make QSettings read a list, which the
// settings' lists hold one entry per line; a path keeps its comma when quoted.
TEST(QtUserDefaultsTest, ReadsValuesWrittenByHand) {
    TempDir dir;
    fs::create_directories(dir / "tesuko");
    writeFile(dir / "tesuko/tesuko.conf",
              "[General]\nuntrackedApplications=KeePassXC, Signal\n"
              "saveFilePath=\"file:///home/u/a,b/log.csv\"\n");
    QtUserDefaults defaults(QString::fromStdString(dir / "tesuko/tesuko.conf"));
    EXPECT_EQ(defaults.string("untrackedApplications"), "KeePassXC\nSignal");
    EXPECT_EQ(defaults.string("saveFilePath"), "file:///home/u/a,b/log.csv");
}

using QtPrivacyDialogTest = QtWidgetsTest;

// The user types into the three lists and presses Save.
TEST_F(QtPrivacyDialogTest, SavesTrimmedEntriesAndRefusesAPatternWithItsLineAndReason) {
    QtPrivacyDialog privacy;
    std::optional<PrivacyLists> saved;
    privacy.edit({{"*secret*"}, {}, {"Old"}}, [&](const PrivacyLists& lists) { saved = lists; });
    EXPECT_EQ(privacy.privateTitles().toPlainText(), QStringLiteral("*secret*"));

    privacy.privateTitles().setPlainText(QStringLiteral("*bank*\n\n  [abc  \n"));
    privacy.untrackedApplications().setPlainText(QStringLiteral(" KeePassXC \n\nsignal"));
    QPushButton* save = privacy.buttons().button(QDialogButtonBox::Save);
    save->click();
    EXPECT_FALSE(saved);
    EXPECT_TRUE(privacy.dialog().isVisible());
    EXPECT_EQ(privacy.problem().text().toStdString(),
              "Line 3 of the title patterns is not saved: \u201C[abc\u201D opens a set with "
              "\u201C[\u201D that no \u201C]\u201D closes.");

    privacy.buttons().button(QDialogButtonBox::RestoreDefaults)->click();
    save->click();
    ASSERT_TRUE(saved);
    EXPECT_EQ(*saved, (PrivacyLists{defaultPrivateTitles(), {}, {"KeePassXC", "signal"}}));
    EXPECT_FALSE(privacy.dialog().isVisible());
}

// The reason in the user's language, with the text it quotes as typed.
TEST_F(QtPrivacyDialogTest, GivesTheReasonInTheUsersLanguage) {
    QtPrivacyDialog privacy;
    QtTranslations japanese(QLocale(QLocale::Japanese, QLocale::Japan));
    ASSERT_TRUE(japanese.translated());
    privacy.edit({}, [](const PrivacyLists&) {});
    privacy.privateTitles().setPlainText(QStringLiteral("*\n[z-a]"));
    privacy.buttons().button(QDialogButtonBox::Save)->click();
    EXPECT_EQ(privacy.problem().text().toStdString(),
              "タイトルのパターンの 2 行目は保存されません: 範囲「z-a」の順序が逆です。");
}

}  // namespace
}  // namespace tesuko
