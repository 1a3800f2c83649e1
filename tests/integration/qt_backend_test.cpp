// The Qt backends: the tray menu and the settings store.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <filesystem>

#include "platform/qt/qt_status_menu.h"
#include "platform/qt/qt_user_defaults.h"
#include "tests/fakes/fake_system_log.h"
#include "tests/integration/temp_dir.h"

namespace tesuko {
namespace {

namespace fs = std::filesystem;

// Widgets need an application, one for each test: on the minimal platform, which
// needs no display and loads no fontconfig (its caches read as leaks under the
// sanitizers). The menu as built: four commands, a separator, five ranking
// rows, a separator, Quit.
class QtStatusMenuTest : public ::testing::Test {
  protected:
    QtStatusMenuTest() {
        menu.onCommand([this](MenuCommand command) { sent.push_back(command); });
    }
    QAction& at(int index) { return *menu.menu().actions().at(index); }

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
    const MenuItem items[] = {MenuItem::StartRecord, MenuItem::StopRecord, MenuItem::SaveAs,
                              MenuItem::OpenAtLogin, MenuItem::PauseWhenIdle};
    for (int index = 0; index < 5; ++index) {
        sent.clear();
        std::optional<MenuCommand> loaded = menu.action(items[index]);
        ASSERT_TRUE(loaded) << index;
        menu.setAction(items[index], std::nullopt);
        EXPECT_FALSE(at(index).isEnabled()) << index;
        at(index).trigger();
        menu.setAction(items[index], loaded);
        at(index).trigger();
        EXPECT_EQ(sent, std::vector<MenuCommand>{*loaded}) << index;
    }
    at(13).trigger();
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(sent.size(), 1u) << "Quit sends no command";
}

TEST_F(QtStatusMenuTest, OpeningRetitlesTheRowsBeforeTheMenuShows) {
    menu.onMenuWillOpen([&] { menu.setTitle(MenuItem::Rank5, "5 : Tom & Jerry 日本    7"); });
    menu.menu().popup(QPoint(0, 0));
    EXPECT_EQ(at(10).text().toStdString(), "5 : Tom && Jerry 日本    7") << "no shortcut mark";
    EXPECT_EQ(at(6).text().toStdString(), "—");
    EXPECT_FALSE(at(10).isEnabled()) << "a row does nothing when chosen";
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
