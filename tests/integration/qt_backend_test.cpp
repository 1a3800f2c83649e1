// The Qt backends: the tray menu and the settings store.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <filesystem>
#include <stdexcept>
#include <utility>

#include "platform/qt/qt_status_menu.h"
#include "platform/qt/qt_user_defaults.h"
#include "tests/fakes/fake_system_log.h"
#include "tests/integration/temp_dir.h"

namespace tesuko {
namespace {

namespace fs = std::filesystem;

// Widgets need an application, one for each test: on the minimal platform, which
// needs no display and loads no fontconfig (its caches read as leaks under the
// sanitizers). Items are found by their text, rows ("—" until retitled) by
// their place among the rows.
class QtStatusMenuTest : public ::testing::Test {
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

    [[maybe_unused]] bool minimal_ = ::setenv("QT_QPA_PLATFORM", "minimal", 0) == 0;
    int argc_ = 1;
    char name_[13] = "tesuko-tests";
    char* argv_[2] = {name_, nullptr};
    QApplication application_{argc_, argv_};
    FakeSystemLog systemLog;
    QtStatusMenu menu{systemLog};
    std::vector<MenuCommand> sent;
};

TEST_F(QtStatusMenuTest, AnItemSendsItsCommandOnlyWhileItHasOneAndQuitOnlyQuits) {
    int quits = 0;
    menu.onQuit([&] { ++quits; });
    const std::pair<MenuItem, const char*> items[] = {
        {MenuItem::StartRecord, "Start Recording"},
        {MenuItem::StopRecord, "Stop Recording"},
        {MenuItem::PauseFor15Minutes, "Pause for 15 Minutes"},
        {MenuItem::PauseFor1Hour, "Pause for 1 Hour"},
        {MenuItem::PauseUntilTomorrow, "Pause Until Tomorrow"},
        {MenuItem::ForgetLast15Minutes, "Forget the Last 15 Minutes"},
        {MenuItem::SaveAs, "Save Log As…"},
        {MenuItem::OpenAtLogin, "Open at Login"},
        {MenuItem::PauseWhenIdle, "Pause When Idle"},
        {MenuItem::Privacy, "Privacy…"},
        {MenuItem::ShowReport, "Show Report…"}};
    for (const auto& [item, text] : items) {
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

TEST_F(QtStatusMenuTest, OpeningRetitlesTheRowsBeforeTheMenuShows) {
    menu.onMenuWillOpen([&] { menu.setTitle(MenuItem::Rank5, "5 : Tom & Jerry 日本    7"); });
    menu.menu().popup(QPoint(0, 0));
    QAction& fifth = titled("5 : Tom && Jerry 日本    7");  // no shortcut mark
    EXPECT_EQ(&fifth, menu.menu().actions().at(menu.menu().actions().indexOf(&titled("—", 3)) + 1));
    EXPECT_FALSE(fifth.isEnabled()) << "a row does nothing when chosen";
}

// The settings say where the log of window titles lives: private like the log.
TEST(QtUserDefaultsTest, TheStoreIsPrivateToTheUser) {
    TempDir dir;
    QtUserDefaults defaults(QString::fromStdString(dir / "tesuko/tesuko.conf"));
    defaults.set("saveFilePath", "file:///home/u/log.csv");
    ASSERT_TRUE(defaults.synchronize());
    EXPECT_EQ(fs::status(dir / "tesuko").permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(dir / "tesuko/tesuko.conf").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
}

}  // namespace
}  // namespace tesuko
