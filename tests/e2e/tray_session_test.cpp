#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/integration/temp_dir.h"
#include "tests/support/xvfb_desktop.h"

namespace tesuko {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const std::string kBinary = fs::canonical(TESUKO_BINARY_DIR "/app/tesuko").string();
const std::string kArtifacts = TESUKO_BINARY_DIR "/tests/e2e-artifacts";
constexpr const char* kMenuPrefix = "tesuko menu: ";
constexpr std::size_t kMenuItems = 10;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::size_t countOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

struct Geometry {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// "2 : Name    <filler><total> [disabled]" gives "Name".
std::string rankedName(const std::string& row) {
    std::string rest = row.substr(std::min<std::size_t>(4, row.size()));
    return rest.substr(0, rest.find("    "));
}

// tesuko in a private X session and a temporary home, as its user would run it.
class TraySessionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (auto reason = XvfbDesktop::unavailableReason()) {
            GTEST_SKIP() << *reason;
        }
        for (const char* folder : {"home/.config", "home/run", "system-config"}) {
            fs::create_directories(work / folder);
        }
        fs::permissions(work / "home/run", fs::perms::owner_all);
        fs::create_directories(kArtifacts);
        desktop.emplace();
    }

    std::string home() const { return work / "home"; }
    std::string logFile() const { return home() + "/Desktop/TESUKO/log.csv"; }
    std::vector<std::string> records() const { return linesOf(readFile(logFile())); }
    std::string output(const std::string& name) const { return readFile(work / name); }

    EnvChanges programEnv() const {
        EnvChanges env = desktop->env();
        env["HOME"] = home();
        env["XDG_CONFIG_HOME"] = home() + "/.config";
        env["XDG_CACHE_HOME"] = home() + "/.cache";
        env["XDG_STATE_HOME"] = home() + "/.local/state";
        env["XDG_CONFIG_DIRS"] = work / "system-config";
        env["XDG_RUNTIME_DIR"] = home() + "/run";
        env["LC_ALL"] = "en_US.UTF-8";
        env["QT_QPA_PLATFORM"] = "xcb";
        // No session bus: the icon goes to the XEmbed tray of this display.
        env["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=" + work / "no-bus";
        env["TESUKO_TRACE_MENU"] = "1";
        return env;
    }

    void addAutostartEntry() const {
        fs::create_directories(home() + "/.config/autostart");
        writeFile(home() + "/.config/autostart/tesuko.desktop",
                  "[Desktop Entry]\nType=Application\nName=tesuko\nExec=" + kBinary + "\n");
    }

    ChildProcess startTesuko(const std::string& outputName) const {
        return ChildProcess({kBinary}, {programEnv(), work / outputName, -1});
    }

    Finished xdotool(std::vector<std::string> arguments) const {
        arguments.insert(arguments.begin(), "xdotool");
        return desktop->run(arguments);
    }
    // Mapped windows whose WM_CLASS class is exactly `windowClass`.
    std::vector<std::string> visibleWindows(const std::string& windowClass) const {
        return linesOf(
            xdotool({"search", "--onlyvisible", "--class", "^" + windowClass + "$"}).output);
    }
    std::optional<Geometry> geometry(const std::string& window) const {
        Finished shown = xdotool({"getwindowgeometry", "--shell", window});
        if (shown.status != 0) {
            return std::nullopt;
        }
        std::map<std::string, int> values;
        for (const std::string& line : linesOf(shown.output)) {
            std::size_t equals = line.find('=');
            values[line.substr(0, equals)] =
                static_cast<int>(std::strtol(line.c_str() + equals + 1, nullptr, 10));
        }
        return Geometry{values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]};
    }

    // What a failed wait for the icon leaves to look at.
    std::string diagnosis(ChildProcess& tesuko) const {
        std::optional<int> ended = tesuko.waitExit(0ms);
        return (ended ? "tesuko ended with " + std::to_string(*ended) : "tesuko runs") +
               "; its output:\n" + output("tesuko.out") + "windows:\n" +
               desktop->run({"xwininfo", "-root", "-tree"}).output;
    }

    std::optional<Geometry> trayIcon() const {
        std::vector<std::string> windows = visibleWindows("tesuko");
        return windows.size() == 1 ? geometry(windows[0]) : std::nullopt;
    }

    std::string startWindow(const std::string& windowClass, const std::string& title,
                            const std::string& position) {
        desktop->launch({"xterm", "-class", windowClass, "-T", title, "-geometry",
                         "60x12" + position, "-e", "cat"});
        std::vector<std::string> windows;
        EXPECT_TRUE(
            waitUntil([&] { return !(windows = visibleWindows(windowClass)).empty(); }, 10s))
            << windowClass << " did not appear";
        return windows.empty() ? "" : windows.front();
    }
    void activate(const std::string& window) const {
        xdotool({"windowactivate", "--sync", window});
    }
    bool waitForRecords(const std::string& part, std::size_t count) const {
        return waitUntil([&] { return countOf(readFile(logFile()), part) >= count; }, 10s);
    }

    // Clicks the tray icon and returns the items of the menu that opened.
    std::vector<std::string> openMenu(const std::string& outputName) const {
        std::optional<Geometry> icon = trayIcon();
        if (!icon) {
            ADD_FAILURE() << "no tray icon";
            return {};
        }
        const std::size_t openedBefore = countOf(output(outputName), "tesuko menu: Quit");
        xdotool({"mousemove", std::to_string(icon->x + icon->width / 2),
                 std::to_string(icon->y + icon->height / 2), "click", "1"});
        EXPECT_TRUE(waitUntil(
            [&] { return countOf(output(outputName), "tesuko menu: Quit") > openedBefore; }, 10s))
            << output(outputName);
        EXPECT_TRUE(waitUntil([&] { return visibleWindows("tesuko").size() >= 2; }, 10s))
            << "the menu is not on screen";
        std::vector<std::string> items;
        for (const std::string& line : linesOf(output(outputName))) {
            if (line.starts_with(kMenuPrefix)) {
                items.push_back(line.substr(std::string(kMenuPrefix).size()));
            }
        }
        if (items.size() < kMenuItems) {
            return {};
        }
        return {items.end() - kMenuItems, items.end()};
    }

    TempDir work;
    std::optional<XvfbDesktop> desktop;
};

TEST_F(TraySessionTest, ALoginItemLaunchRecordsRealSwitchesAndRanksThemInTheMenu) {
    addAutostartEntry();
    desktop->startTray();
    ChildProcess tesuko = startTesuko("tesuko.out");
    ASSERT_TRUE(waitUntil([&] { return trayIcon().has_value(); }, 15s)) << diagnosis(tesuko);

    // Recording runs from the launch on: the second window's arrival already ends an interval.
    const std::string alpha = startWindow("E2eAlpha", "alpha notes", "+40+60");
    const std::string beta = startWindow("E2eBeta", "beta mail", "+420+300");
    ASSERT_TRUE(waitForRecords(",E2eAlpha,alpha notes,", 1)) << readFile(logFile());

    activate(alpha);
    ASSERT_TRUE(waitForRecords(",E2eBeta,beta mail,", 1)) << readFile(logFile());
    xdotool({"type", "--delay", "30", "abc"});
    xdotool({"mousemove", "--window", alpha, "30", "30", "click", "1"});
    activate(beta);
    ASSERT_TRUE(waitForRecords(",E2eAlpha,alpha notes,1,3,", 1))
        << "one click and three keys in alpha:\n"
        << readFile(logFile());
    activate(alpha);
    ASSERT_TRUE(waitForRecords(",E2eBeta,beta mail,", 2)) << readFile(logFile());

    std::vector<std::string> menu = openMenu("tesuko.out");
    desktop->run({"import", "-window", "root", kArtifacts + "/menu-with-ranking.png"});
    ASSERT_EQ(menu.size(), kMenuItems) << output("tesuko.out");
    EXPECT_EQ(menu[0], "Start Recording [checked] [disabled]");
    EXPECT_EQ(menu[1], "Stop Recording");
    EXPECT_EQ(menu[2], "Save Log As… [disabled]");
    EXPECT_EQ(menu[3], "Open at Login [checked] [disabled]");
    // Which of the two had more time depends on the machine's pace; both are ranked.
    EXPECT_TRUE(menu[4].starts_with("1 : ") && menu[5].starts_with("2 : ")) << menu[4] << "\n"
                                                                            << menu[5];
    std::vector<std::string> ranked{rankedName(menu[4]), rankedName(menu[5])};
    std::sort(ranked.begin(), ranked.end());
    EXPECT_EQ(ranked, (std::vector<std::string>{"E2eAlpha", "E2eBeta"}));
    EXPECT_EQ(menu[6], "— [disabled]");
    EXPECT_EQ(menu[9], "Quit tesuko");
    xdotool({"key", "Escape"});

    ChildProcess second({kBinary}, {programEnv(), work / "second.out", -1});
    EXPECT_EQ(second.waitExit(10s), 1);
    EXPECT_EQ(output("second.out"), "tesuko is already running\n");

    const std::size_t before = records().size();
    tesuko.signal(SIGTERM);
    ASSERT_EQ(tesuko.waitExit(10s), 0) << output("tesuko.out");
    ASSERT_EQ(records().size(), before + 1) << "the interval in progress is written";
    EXPECT_TRUE(contains(records().back(), ",E2eAlpha,alpha notes,")) << records().back();
}

TEST_F(TraySessionTest, WithoutATrayItSaysSoOnceAndShowsTheIconWhenOneAppears) {
    ChildProcess tesuko = startTesuko("tesuko.out");
    ASSERT_TRUE(waitUntil([&] { return contains(output("tesuko.out"), "No system tray"); }, 15s))
        << output("tesuko.out");
    desktop->startTray();
    ASSERT_TRUE(waitUntil([&] { return trayIcon().has_value(); }, 15s)) << diagnosis(tesuko);

    std::vector<std::string> menu = openMenu("tesuko.out");
    desktop->run({"import", "-window", "root", kArtifacts + "/menu-idle.png"});
    ASSERT_EQ(menu.size(), kMenuItems) << output("tesuko.out");
    EXPECT_EQ(menu[0], "Start Recording");
    EXPECT_EQ(menu[1], "Stop Recording [disabled]");
    EXPECT_EQ(menu[4], "— [disabled]") << "nothing recorded, nothing ranked";

    xdotool({"key", "Up", "Return"});  // the last item: Quit tesuko
    EXPECT_EQ(tesuko.waitExit(10s), 0) << output("tesuko.out");
    EXPECT_EQ(countOf(output("tesuko.out"), "No system tray"), 1u);
    EXPECT_TRUE(records().empty()) << "nothing was recording";
}

TEST_F(TraySessionTest, TheEndOfTheDisplayWritesTheIntervalInProgressAndExitsCleanly) {
    addAutostartEntry();
    desktop->startTray();
    ChildProcess tesuko = startTesuko("tesuko.out");
    ASSERT_TRUE(waitUntil([&] { return trayIcon().has_value(); }, 15s)) << diagnosis(tesuko);
    startWindow("E2eAlpha", "alpha notes", "+40+60");
    startWindow("E2eBeta", "beta mail", "+420+300");
    ASSERT_TRUE(waitForRecords(",E2eAlpha,alpha notes,", 1)) << readFile(logFile());
    const std::size_t before = records().size();

    desktop->killServer();
    ASSERT_EQ(tesuko.waitExit(10s), 0) << output("tesuko.out");
    ASSERT_EQ(records().size(), before + 1) << readFile(logFile()) << output("tesuko.out");
    EXPECT_TRUE(contains(records().back(), ",E2eBeta,beta mail,")) << records().back();
}

// SIGKILL gives no chance to write anything: the interval in progress comes
// back from the last checkpoint at the next start, once.
TEST_F(TraySessionTest, AHardKillLosesAtMostTheTimeSinceTheLastCheckpoint) {
    addAutostartEntry();
    desktop->startTray();
    EnvChanges env = programEnv();
    env["TESUKO_CHECKPOINT_SECONDS"] = "1";
    ChildProcess tesuko({kBinary}, {env, work / "tesuko.out", -1});
    ASSERT_TRUE(waitUntil([&] { return trayIcon().has_value(); }, 15s)) << diagnosis(tesuko);
    startWindow("E2eAlpha", "alpha notes", "+40+60");
    startWindow("E2eBeta", "beta mail", "+420+300");
    ASSERT_TRUE(waitForRecords(",E2eAlpha,alpha notes,", 1)) << readFile(logFile());
    const std::string checkpoint = home() + "/.local/state/tesuko/interval.checkpoint";
    ASSERT_TRUE(
        waitUntil([&] { return contains(readFile(checkpoint), ",E2eBeta,beta mail,0,0,"); }, 10s))
        << readFile(checkpoint);
    EXPECT_EQ(fs::status(checkpoint).permissions(), fs::perms::owner_read | fs::perms::owner_write);

    const std::size_t before = records().size();
    tesuko.signal(SIGKILL);
    tesuko.waitExit(10s);
    ASSERT_EQ(records().size(), before);
    // The checkpoint ends with the record, after the log's path.
    std::string saved = readFile(checkpoint);
    saved = saved.substr(saved.rfind(logFile()) + logFile().size());
    saved.pop_back();

    ChildProcess next = startTesuko("next.out");
    ASSERT_TRUE(waitUntil([&] { return records().size() == before + 1; }, 15s))
        << output("next.out");
    EXPECT_EQ(records().back(), saved);
    EXPECT_FALSE(fs::exists(checkpoint));
    next.signal(SIGTERM);
    ASSERT_EQ(next.waitExit(10s), 0) << output("next.out");
    EXPECT_EQ(countOf(readFile(logFile()), saved), 1u) << readFile(logFile());
}

TEST(TesukoCommandLineTest, WorksWithoutADisplayAndExplainsWhatItCannotDo) {
    TempDir work;
    const EnvChanges noDisplay{{"DISPLAY", std::nullopt},
                               {"WAYLAND_DISPLAY", std::nullopt},
                               {"HOME", work.path()},
                               {"XDG_RUNTIME_DIR", work.path()},
                               {"XDG_CONFIG_HOME", work / "config"},
                               {"LC_ALL", "en_US.UTF-8"}};
    ChildProcess explained({kBinary}, {noDisplay, work / "tray.out", -1});
    EXPECT_EQ(explained.waitExit(10s), 2);
    EXPECT_TRUE(contains(readFile(work / "tray.out"), "DISPLAY")) << readFile(work / "tray.out");

    writeFile(work / "log.csv",
              "2026年12月05日 13時40分48秒,Editor,a,0,0,3723.6\n"
              "2026年12月05日 13時41分48秒,Mail,b,0,0,60\n");
    Finished top = run({kBinary, "--top", "1", "--log", work / "log.csv"}, noDisplay);
    EXPECT_EQ(top.status, 0);
    EXPECT_EQ(top.output, "1 : Editor" + std::string(38, ' ') + "3,724\n");

    EXPECT_EQ(run({kBinary, "--version"}, noDisplay).output, "tesuko 0.1.0\n");
    EXPECT_TRUE(contains(run({kBinary, "--help"}, noDisplay).output, "--top"));
    EXPECT_EQ(run({kBinary, "--no-such-option"}, noDisplay).status, 2);
}

}  // namespace
}  // namespace tesuko
