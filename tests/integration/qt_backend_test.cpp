// The Qt backends: the tray menu and the save panel.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <filesystem>

#include "platform/qt/qt_save_panel.h"
#include "platform/qt/qt_status_menu.h"
#include "platform/qt/qt_user_defaults.h"
#include "settings/file_url.h"
#include "tests/fakes/fake_system_log.h"
#include "tests/integration/temp_dir.h"

namespace tesuko {
namespace {

namespace fs = std::filesystem;

// Widgets need an application, one for each test: on the minimal platform, which
// needs no display and loads no fontconfig (its caches read as leaks under the
// sanitizers). A static one would outlive the file dialog's own statics.
class QtTest : public ::testing::Test {
  private:
    [[maybe_unused]] bool minimal_ = ::setenv("QT_QPA_PLATFORM", "minimal", 0) == 0;
    int argc_ = 1;
    char name_[13] = "tesuko-tests";
    char* argv_[2] = {name_, nullptr};
    QApplication application_{argc_, argv_};
};

// The menu as built: four commands, a separator, five ranking rows, a separator, Quit.
class QtStatusMenuTest : public QtTest {
  protected:
    QtStatusMenuTest() {
        menu.onCommand([this](MenuCommand command) { sent.push_back(command); });
    }
    QAction& at(int index) { return *menu.menu().actions().at(index); }

    FakeSystemLog systemLog;
    QtStatusMenu menu{systemLog};
    std::vector<MenuCommand> sent;
};

TEST_F(QtStatusMenuTest, AnItemSendsItsCommandOnlyWhileItHasOneAndQuitOnlyQuits) {
    int quits = 0;
    menu.onQuit([&] { ++quits; });
    const MenuItem items[] = {MenuItem::StartRecord, MenuItem::StopRecord, MenuItem::SaveAs,
                              MenuItem::OpenAtLogin};
    for (int index = 0; index < 4; ++index) {
        sent.clear();
        std::optional<MenuCommand> loaded = menu.action(items[index]);
        ASSERT_TRUE(loaded) << index;
        menu.setAction(items[index], std::nullopt);
        EXPECT_FALSE(at(index).isEnabled()) << index;
        at(index).trigger();
        menu.setAction(items[index], loaded);
        EXPECT_TRUE(at(index).isEnabled()) << index;
        at(index).trigger();
        EXPECT_EQ(sent, std::vector<MenuCommand>{*loaded}) << index;
    }
    at(11).trigger();
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(sent.size(), 1u) << "Quit sends no command";
}

TEST_F(QtStatusMenuTest, TheCheckMarkShowsTheStateNotTheClick) {
    at(0).trigger();
    EXPECT_FALSE(at(0).isChecked()) << "a command that keeps the state keeps the mark";
    menu.onCommand([this](MenuCommand) { menu.setState(MenuItem::StartRecord, true); });
    at(0).trigger();
    at(0).trigger();
    EXPECT_TRUE(at(0).isChecked());
    menu.setState(MenuItem::StopRecord, true);
    EXPECT_TRUE(at(1).isChecked());
}

TEST_F(QtStatusMenuTest, OpeningRetitlesTheRowsBeforeTheMenuShows) {
    menu.onMenuWillOpen([&] { menu.setTitle(MenuItem::Rank5, "5 : Tom & Jerry 日本    7"); });
    menu.menu().popup(QPoint(0, 0));
    EXPECT_EQ(at(9).text().toStdString(), "5 : Tom && Jerry 日本    7") << "no shortcut mark";
    EXPECT_EQ(at(5).text().toStdString(), "—");
    EXPECT_FALSE(at(9).isEnabled()) << "a row does nothing when chosen";
    menu.menu().hide();
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        menu.showIcon("no-such-image.png");
        EXPECT_TRUE(menu.trayIcon().icon().isNull());
        EXPECT_EQ(systemLog.lines.size(), 1u) << "a missing tray is said";
    }
}

using QtSavePanelTest = QtTest;

// Runs the panel, calling `user` at every tick while the dialog is up, as a user
// who looks again until the dialog shows what they typed. Fails and cancels
// when the dialog stays up beyond the bound.
SavePanelResult runPanel(const std::function<void(QFileDialog&)>& user) {
    QTimer poll;
    int ticks = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QFileDialog*>(widget);
            if (dialog && dialog->isVisible() && ++ticks > 500) {
                ADD_FAILURE() << "the save dialog did not close";
                dialog->reject();
            } else if (dialog && dialog->isVisible()) {
                user(*dialog);
            }
        }
    });
    poll.start(10);
    return QtSavePanel().runModal({"csv", "'CSV'"});
}

TEST_F(QtSavePanelTest, OffersCsvFilesSavesWithoutAskingToReplaceAndCancelGivesNothing) {
    SavePanelResult result = runPanel([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.nameFilters(), QStringList{"CSV (*.csv *.CSV)"});
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_TRUE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
        dialog.reject();
    });
    EXPECT_EQ(result.result, SavePanelResult::kCancelled);
    EXPECT_EQ(result.fileUrl, "");
}

TEST_F(QtSavePanelTest, AChosenFileComesBackAsFileUrlTextWithTheSuffixAdded) {
    TempDir tmp;
    const QString folder =
        QString::fromStdString(fs::canonical(tmp.path()).string()) + "/My Logs 日本\u3000100%";
    fs::create_directories(folder.toStdString());
    SavePanelResult result = runPanel([&](QFileDialog& dialog) {
        if (dialog.selectedFiles() == QStringList{folder + "/week 1.csv"}) {
            static_cast<QDialog&>(dialog).accept();  // as the Save button does
            return;
        }
        // The folder loads in the background and may clear a name typed early.
        if (dialog.directory().absolutePath() != folder) {
            dialog.setDirectory(folder);
        }
        dialog.findChild<QLineEdit*>("fileNameEdit")->setText("week 1");
    });
    EXPECT_EQ(result.result, SavePanelResult::kConfirmed);
    EXPECT_EQ(result.fileUrl, fileUrlFromPath(folder.toStdString() + "/week 1.csv"));
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
