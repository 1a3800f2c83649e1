// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QPushButton>
#include <optional>

#include "platform/qt/qt_privacy_dialog.h"
#include "platform/qt/qt_translations.h"

namespace tesuko {
namespace {

// A dialog on Qt's minimal platform.
class QtPrivacyDialogTest : public ::testing::Test {
  protected:
    static int platformArgc() {
        ::setenv("QT_QPA_PLATFORM", "minimal", 0);
        return 1;
    }
    char name_[13] = "tesuko-tests";
    char* argv_[2] = {name_, nullptr};
    int argc_ = platformArgc();
    QApplication application_{argc_, argv_};
    QtPrivacyDialog privacy;
};

// The user types into the three lists and presses Save.
TEST_F(QtPrivacyDialogTest, SavesTrimmedEntriesAndRefusesAPatternWithItsLineAndReason) {
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
