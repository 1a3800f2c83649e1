// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/xvfb_desktop.h"

namespace tesuko {

namespace fs = std::filesystem;

inline const std::string kBinary = fs::weakly_canonical(TESUKO_BINARY_DIR "/app/tesuko").string();

// tesuko as a login item in a private X session and a temporary home, as its
// user would run it; the test plays the other applications.
class TrayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        addLoginItem(home() + "/.config", kBinary);
        writeSettings("checkpointSeconds=1\n");
        desktop.emplace();
    }

    // The settings file tesuko reads at its start.
    void writeSettings(const std::string& lines) const {
        fs::create_directories(home() + "/.config/tesuko");
        writeFile(home() + "/.config/tesuko/tesuko.conf", "[General]\n" + lines);
    }

    std::string home() const { return work / "home"; }
    std::string logFile() const { return home() + "/Desktop/TESUKO/log.csv"; }
    std::vector<std::string> records() const { return linesOf(readFile(logFile())); }
    std::string output(const std::string& name) const { return readFile(work / name); }

    EnvChanges programEnv(EnvChanges env = {}) const {
        env.merge(desktop->env());
        env.merge(EnvChanges{{"HOME", home()},
                             {"XDG_CONFIG_HOME", std::nullopt},
                             {"XDG_CACHE_HOME", std::nullopt},
                             {"XDG_STATE_HOME", std::nullopt},
                             {"XDG_CONFIG_DIRS", work / "system-config"},
                             {"XDG_RUNTIME_DIR", work.path()},
                             {"LC_ALL", "en_US.UTF-8"},
                             {"QT_QPA_PLATFORM", "xcb"},
                             // No session bus: the icon goes to the XEmbed tray of this display.
                             {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + work / "no-bus"},
                             // Its traces show the menu's items at each opening.
                             {"TESUKO_DEBUG", "1"}});
        return env;
    }
    void startTesuko(QProcess& tesuko, const std::string& output, EnvChanges env = {}) const {
        start(tesuko, {kBinary}, programEnv(std::move(env)), work / output);
    }
    // Whether the file came to hold the text `count` times.
    bool waitForText(const std::string& path, const std::string& part, std::size_t count = 1) {
        bool written = waitUntil([&] { return countOf(readFile(path), part) >= count; }, 15s);
        EXPECT_TRUE(written) << "no \"" << part << "\" in " << path << ":\n" << readFile(path);
        return written;
    }
    // tesuko reads switches that come together as one, by where they end: a
    // test that wants a window counted waits until tesuko has it in front, as
    // the interval in progress saved each second shows.
    bool waitForFront(const std::string& record) { return waitForText(checkpoint(), record); }
    std::string checkpoint() const { return home() + "/.local/state/tesuko/interval.checkpoint"; }
    // Shown windows of tesuko: its tray icon, and its menu while open.
    std::size_t shownWindows() const {
        return linesOf(desktop->xdotool({"search", "--onlyvisible", "--class", "^tesuko$"}).output)
            .size();
    }
    TempDir work;
    std::optional<XvfbDesktop> desktop;
};

}  // namespace tesuko
