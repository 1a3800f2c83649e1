#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/qt/qt_status_menu.h"
#include "tests/fakes/fake_system_log.h"

namespace tesuko {
namespace {

// Widgets need an application: on the minimal platform, which needs no display
// and loads no fontconfig (its caches read as leaks under the sanitizers).
QApplication& application() {
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        return *existing;
    }
    ::setenv("QT_QPA_PLATFORM", "minimal", 0);
    static int argc = 1;
    static char name[] = "tesuko-tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

struct WithApplication {
    WithApplication() { application(); }
};

class QtStatusMenuTest : public ::testing::Test, private WithApplication {
  protected:
    QAction& item(const char* text) {
        for (QAction* action : menu.menu().actions()) {
            if (action->text() == QString::fromUtf8(text)) {
                return *action;
            }
        }
        throw std::runtime_error(std::string("no menu item ") + text);
    }
    // The ranking rows lie between the first two separators.
    QAction& row(int index) {
        QList<QAction*> actions = menu.menu().actions();
        qsizetype separator = 0;
        while (!actions.at(separator)->isSeparator()) {
            ++separator;
        }
        return *actions.at(separator + 1 + index);
    }

    FakeSystemLog systemLog;
    QtStatusMenu menu{systemLog};
    std::vector<MenuCommand> sent;
};

TEST_F(QtStatusMenuTest, TheMenuHasTheCommandsTheRowsAndQuit) {
    std::vector<std::string> shown;
    for (QAction* action : menu.menu().actions()) {
        shown.push_back(action->isSeparator() ? "---" : action->text().toStdString());
        if (!action->isSeparator()) {
            shown.back() += action->isEnabled() ? "" : " (disabled)";
        }
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"Start Recording", "Stop Recording", "Save Log As…",
                                               "Open at Login", "---", "— (disabled)",
                                               "— (disabled)", "— (disabled)", "— (disabled)",
                                               "— (disabled)", "---", "Quit tesuko"}));
}

TEST_F(QtStatusMenuTest, AnItemSendsItsCommandOnlyWhileItHasOneAndQuitOnlyQuits) {
    int quits = 0;
    menu.onQuit([&] { ++quits; });
    menu.onCommand([this](MenuCommand command) { sent.push_back(command); });
    const std::pair<MenuItem, const char*> items[] = {
        {MenuItem::StartRecord, "Start Recording"},
        {MenuItem::StopRecord, "Stop Recording"},
        {MenuItem::SaveAs, "Save Log As…"},
        {MenuItem::OpenAtLogin, "Open at Login"},
    };
    for (const auto& [which, text] : items) {
        SCOPED_TRACE(text);
        sent.clear();
        std::optional<MenuCommand> loaded = menu.action(which);
        ASSERT_TRUE(loaded);
        item(text).trigger();
        EXPECT_EQ(sent, std::vector<MenuCommand>{*loaded});

        menu.setAction(which, std::nullopt);
        EXPECT_FALSE(item(text).isEnabled());
        EXPECT_EQ(menu.action(which), std::nullopt);
        item(text).trigger();
        EXPECT_EQ(sent.size(), 1u);

        menu.setAction(which, loaded);
        EXPECT_TRUE(item(text).isEnabled());
        item(text).trigger();
        EXPECT_EQ(sent.size(), 2u);
    }
    item("Quit tesuko").trigger();
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(sent.size(), 2u) << "Quit sends no command";
}

TEST_F(QtStatusMenuTest, TheCheckMarkShowsTheStateNotTheClick) {
    QAction& start = item("Start Recording");
    menu.onCommand([](MenuCommand) {});
    start.trigger();
    EXPECT_FALSE(start.isChecked()) << "a command that keeps the state keeps the mark";

    menu.onCommand([this](MenuCommand) { menu.setState(MenuItem::StartRecord, true); });
    start.trigger();
    EXPECT_TRUE(start.isChecked());
    start.trigger();
    EXPECT_TRUE(start.isChecked());

    menu.setState(MenuItem::StopRecord, true);
    EXPECT_TRUE(item("Stop Recording").isCheckable());
    EXPECT_TRUE(item("Stop Recording").isChecked());
    menu.setState(MenuItem::StopRecord, false);
    EXPECT_FALSE(item("Stop Recording").isChecked());
}

TEST_F(QtStatusMenuTest, OpeningRetitlesTheRowsBeforeTheMenuShows) {
    int opened = 0;
    menu.onMenuWillOpen([&] {
        ++opened;
        menu.setTitle(MenuItem::Rank1, "1 : Tom & Jerry    1,234");
        menu.setTitle(MenuItem::Rank5, "5 : 日本語    7");
    });
    menu.menu().popup(QPoint(0, 0));
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(row(0).text().toStdString(), "1 : Tom && Jerry    1,234");
    EXPECT_EQ(row(4).text().toStdString(), "5 : 日本語    7");
    EXPECT_EQ(row(1).text().toStdString(), "—");
    menu.menu().hide();
}

TEST_F(QtStatusMenuTest, AMissingTrayIsReportedOnceAndAMissingImageLeavesNoIcon) {
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        GTEST_SKIP() << "a system tray is running on this display";
    }
    menu.showIcon("no-such-image.png");
    EXPECT_TRUE(menu.trayIcon().icon().isNull());
    ASSERT_EQ(systemLog.lines.size(), 1u);
    EXPECT_NE(systemLog.lines[0].find("No system tray"), std::string::npos);
}

TEST(TrayIconImageTest, IsARoundIconOnATransparentSquare) {
    QImage icon(TESUKO_SOURCE_DIR "/app/resources/tesuko.png");
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.size(), QSize(64, 64));
    EXPECT_TRUE(icon.hasAlphaChannel());
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0) << "corners show the panel";
    EXPECT_EQ(qAlpha(icon.pixel(32, 50)), 255) << "the face is opaque";
}

}  // namespace
}  // namespace tesuko
