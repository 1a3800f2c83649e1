#include "platform/xdg/xdg_login_items.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>
#include <memory>

#include "platform/xdg/desktop_entry.h"
#include "recorder/recorder.h"
#include "tests/fakes/fake_platform.h"
#include "tests/integration/temp_dir.h"
#include "tests/integration/xdg_scoped_env.h"

namespace tesuko {
namespace {

namespace fs = std::filesystem;

const std::string kAddedLine = "tesukoをログイン項目に追加したぜ！";

std::string entryFor(const std::string& exec, const std::string& extra = "") {
    return "[Desktop Entry]\nType=Application\nName=x\nExec=" + exec + "\n" + extra;
}

// Autostart folders, PATH and the program all under a temporary folder; the
// recorder runs over fakes except for its login items.
class XdgLoginItemsTest : public ::testing::Test {
  protected:
    XdgLoginItemsTest() {
        env.set("HOME", tmp / "home");
        env.set("XDG_CONFIG_HOME", tmp / "config");
        env.set("XDG_CONFIG_DIRS", tmp / "system1" + ":relative/ignored:" + tmp / "system2");
        env.set("PATH", tmp / "bin");
        program = makeProgram(tmp / "opt/tesuko/bin/tesuko");
    }

    std::string makeProgram(const std::string& path) {
        fs::create_directories(fs::path(path).parent_path());
        writeFile(path, "#!/bin/sh\n");
        fs::permissions(path, fs::perms::owner_all);
        return fs::canonical(path).string();
    }
    std::string userFolder() const { return tmp / "config/autostart"; }
    void addEntry(const std::string& folder, const std::string& name, const std::string& text) {
        fs::create_directories(folder);
        writeFile(folder + "/" + name, text);
    }
    void addUserEntry(const std::string& name, const std::string& text) {
        addEntry(userFolder(), name, text);
    }

    Recorder& recorder() {
        if (!recorder_) {
            items = std::make_unique<XdgLoginItems>(program);
            platform = std::make_unique<Platform>(
                Platform{fakes.workspace, fakes.windowList, fakes.inputMonitors, fakes.fileSystem,
                         fakes.userDefaults, fakes.savePanel, *items, fakes.systemLog, fakes.clock,
                         fakes.homeFolder});
            recorder_ = std::make_unique<Recorder>(*platform);
        }
        return *recorder_;
    }
    std::vector<std::optional<std::string>> snapshot() { return XdgLoginItems(program).snapshot(); }

    TempDir tmp;
    ScopedEnv env;
    std::string program;
    FakePlatform fakes;

  private:
    std::unique_ptr<XdgLoginItems> items;
    std::unique_ptr<Platform> platform;
    std::unique_ptr<Recorder> recorder_;
};

TEST_F(XdgLoginItemsTest, NoEntriesMeansNo) {
    EXPECT_TRUE(snapshot().empty());
    EXPECT_FALSE(recorder().isEnableLoginItem());
    fs::create_directories(userFolder());
    EXPECT_FALSE(recorder().isEnableLoginItem());
}

TEST_F(XdgLoginItemsTest, AnEntryRunningTheProgramMeansYes) {
    const std::string ways[] = {program, "\"" + program + "\" --minimised %U", "tesuko"};
    fs::create_directories(tmp / "bin");
    fs::create_symlink(program, tmp / "bin/tesuko");
    for (const std::string& exec : ways) {
        addUserEntry("tesuko.desktop", entryFor(exec));
        EXPECT_EQ(snapshot(), (std::vector<std::optional<std::string>>{program})) << exec;
        EXPECT_TRUE(recorder().isEnableLoginItem()) << exec;
    }
}

TEST_F(XdgLoginItemsTest, AnyPathBeginningWithTheProgramPathCounts) {
    makeProgram(program + "-helper");
    addUserEntry("helper.desktop", entryFor(program + "-helper"));
    EXPECT_TRUE(recorder().isEnableLoginItem());
}

TEST_F(XdgLoginItemsTest, EntriesThatDoNotResolveAreSkipped) {
    fs::create_directories(userFolder() + "/c-folder.desktop");
    ASSERT_EQ(::mkfifo((userFolder() + "/d-fifo.desktop").c_str(), 0600), 0);
    fs::create_symlink(tmp / "nowhere", userFolder() + "/e-dangling.desktop");
    const std::pair<const char*, std::string> unresolved[] = {
        {"a-missing.desktop", entryFor(tmp / "bin/missing")},
        {"b-broken.desktop", "not a desktop entry at all"},
        {"f-relative.desktop", entryFor("bin/tesuko")},
        {"g-not-executable.desktop", entryFor(tmp / "config/autostart/b-broken.desktop")},
        {"h-bad-quoting.desktop", entryFor("\"" + program)},
        {"i-no-exec.desktop", "[Desktop Entry]\nType=Application\n"},
        {"j-hidden.desktop", entryFor(program, "Hidden=true\n")},
        {"k-switched-off.desktop", entryFor(program, "X-GNOME-Autostart-enabled=false\n")},
        {"l-link.desktop", "[Desktop Entry]\nType=Link\nURL=" + program + "\n"},
    };
    for (const auto& [name, text] : unresolved) {
        addUserEntry(name, text);
    }
    EXPECT_FALSE(recorder().isEnableLoginItem());

    addUserEntry("z-tesuko.desktop", entryFor(program));
    std::vector<std::optional<std::string>> items = snapshot();
    ASSERT_EQ(items.size(), std::size(unresolved) + 4);
    EXPECT_TRUE(std::all_of(items.begin(), items.end() - 1, [](auto& i) { return !i; }));
    EXPECT_EQ(items.back(), program);
    EXPECT_TRUE(recorder().isEnableLoginItem());
}

TEST_F(XdgLoginItemsTest, UserEntriesShadowSystemEntriesInFileNameOrder) {
    const std::string other = makeProgram(tmp / "bin/other");
    addEntry(tmp / "system1/autostart", "b.desktop", entryFor(other));
    addEntry(tmp / "system2/autostart", "b.desktop", entryFor(program));
    addEntry(tmp / "system2/autostart", "a.desktop", entryFor(program));
    addUserEntry("a.desktop", entryFor(program, "Hidden=true\n"));
    addUserEntry("c.desktop", entryFor("other"));
    EXPECT_EQ(snapshot(), (std::vector<std::optional<std::string>>{std::nullopt, other, other}));
    EXPECT_FALSE(recorder().isEnableLoginItem());

    addUserEntry("a.desktop", entryFor(program));
    EXPECT_TRUE(recorder().isEnableLoginItem());
}

TEST_F(XdgLoginItemsTest, SystemFoldersDefaultToEtcXdgAndTheUserFolderToHome) {
    env.unset("XDG_CONFIG_HOME");
    env.unset("XDG_CONFIG_DIRS");
    addEntry(tmp / "home/.config/autostart", "tesuko.desktop", entryFor(program));
    EXPECT_TRUE(recorder().isEnableLoginItem());
}

TEST_F(XdgLoginItemsTest, EnableWritesAnEntryThatIsFoundAfterwards) {
    EXPECT_FALSE(recorder().isEnableLoginItem());
    recorder().enableLoginItem();

    EXPECT_EQ(fakes.systemLog.lines, std::vector<std::string>{kAddedLine});
    EXPECT_TRUE(recorder().isEnableLoginItem());
    EXPECT_EQ(snapshot().back(), program);
    const std::string written = userFolder() + "/tesuko.desktop";
    EXPECT_EQ(splitExec(*parseDesktopEntry(readFile(written))->exec),
              std::vector<std::string>{program});
    EXPECT_EQ(fs::status(tmp / "config").permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(fs::status(userFolder()).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(std::distance(fs::directory_iterator(userFolder()), fs::directory_iterator()), 1)
        << "no temporary file left";
}

TEST_F(XdgLoginItemsTest, AProgramPathWithAwkwardCharactersStillResolves) {
    program = makeProgram(tmp / "My Apps/\"tesuko\" $HOME 100% \\ 'x'/tesuko");
    recorder().enableLoginItem();
    EXPECT_TRUE(recorder().isEnableLoginItem());
    EXPECT_EQ(snapshot(), (std::vector<std::optional<std::string>>{program}));
}

TEST_F(XdgLoginItemsTest, AnotherProgramsEntryIsNeitherReplacedNorShadowed) {
    const std::string other = makeProgram(tmp / "bin/other");
    const std::string theirs = entryFor(other);
    addUserEntry("tesuko.desktop", theirs);
    addEntry(tmp / "system2/autostart", "tesuko-2.desktop", theirs);
    addEntry(tmp / "system1/autostart", "tesuko-3.desktop", "broken");

    recorder().enableLoginItem();

    EXPECT_EQ(readFile(userFolder() + "/tesuko.desktop"), theirs);
    EXPECT_FALSE(fs::exists(userFolder() + "/tesuko-2.desktop"));
    EXPECT_FALSE(fs::exists(userFolder() + "/tesuko-3.desktop"));
    EXPECT_TRUE(fs::exists(userFolder() + "/tesuko-4.desktop"));
    EXPECT_TRUE(recorder().isEnableLoginItem());
}

TEST_F(XdgLoginItemsTest, OurOwnSwitchedOffEntryIsReusedAndSwitchedOn) {
    addUserEntry("tesuko.desktop", entryFor(program, "X-GNOME-Autostart-enabled=false\n"));
    EXPECT_FALSE(recorder().isEnableLoginItem());
    recorder().enableLoginItem();
    EXPECT_TRUE(recorder().isEnableLoginItem());
    EXPECT_FALSE(fs::exists(userFolder() + "/tesuko-2.desktop"));
}

TEST_F(XdgLoginItemsTest, AFolderThatCannotBeCreatedFailsWithItsReason) {
    // Running as root, permissions stop nothing; a file where a folder should be does.
    writeFile(tmp / "plain-file", "");
    env.set("XDG_CONFIG_HOME", tmp / "plain-file/config");

    EXPECT_FALSE(recorder().enableLoginItem());

    ASSERT_EQ(fakes.systemLog.lines.size(), 1u);
    EXPECT_NE(fakes.systemLog.lines[0].find("Not a directory"), std::string::npos)
        << fakes.systemLog.lines[0];
    EXPECT_FALSE(recorder().isEnableLoginItem());
}

// Lets writes beyond a few bytes fail with EFBIG for the lifetime of the object.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = ::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        ::signal(SIGXFSZ, previous_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
    sighandler_t previous_;
};

TEST_F(XdgLoginItemsTest, AFailedWriteLeavesNothingBehind) {
    fs::create_directories(userFolder());
    recorder();
    {
        FileSizeLimit limit(16);
        EXPECT_FALSE(recorder().enableLoginItem());
    }
    ASSERT_EQ(fakes.systemLog.lines.size(), 1u);
    EXPECT_NE(fakes.systemLog.lines[0].find("File too large"), std::string::npos)
        << fakes.systemLog.lines[0];
    EXPECT_TRUE(fs::is_empty(userFolder()));
    EXPECT_FALSE(recorder().isEnableLoginItem());
}

TEST(XdgLoginItemsProgram, IsTheRunningExecutableUnlessGiven) {
    EXPECT_EQ(XdgLoginItems().bundlePath(), fs::canonical("/proc/self/exe").string());
    EXPECT_EQ(XdgLoginItems("/not/there").bundlePath(), "/not/there");
}

}  // namespace
}  // namespace tesuko
