// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/xdg/xdg_login_items.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "platform/posix/env_home_folder.h"
#include "platform/posix/posix_file_system.h"
#include "support/temp_dir.h"
#include "tests/scoped_env.h"

namespace tesuko {
namespace {

namespace fs = std::filesystem;
using Items = std::vector<std::optional<std::string>>;

std::string entryFor(const std::string& exec, const std::string& extra = "") {
    return "[Desktop Entry]\nType=Application\nName=x\nExec=" + exec + "\n" + extra;
}

// Autostart folders, PATH and the program, all under a temporary folder.
class XdgLoginItemsTest : public ::testing::Test {
  protected:
    XdgLoginItemsTest() {
        env.set("HOME", tmp / "home");
        env.set("XDG_CONFIG_HOME", tmp / "config");
        // Relative folders, wherever the tests run (they climb to / first): ignored.
        const std::string up = "../../../../../../../../../../../../../../../..";
        env.set("XDG_CONFIG_DIRS", tmp / "system1" + ":" + up + tmp / "system3:" + tmp / "system2");
        env.set("PATH", tmp / "bin:" + up + tmp / "relative-bin");
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
    Items snapshot() { return loginItems.snapshot(); }
    std::optional<std::string> enable() { return loginItems.insertLast(program); }

    TempDir tmp;
    ScopedEnv env;
    EnvHomeFolder home;
    PosixFileSystem files;
    std::string program = makeProgram(tmp / "opt/tesuko/bin/tesuko");
    XdgLoginItems loginItems{home, files, program};
};

TEST_F(XdgLoginItemsTest, UserEntriesShadowSystemEntriesInFileNameOrder) {
    const std::string other = makeProgram(tmp / "bin/other");
    addEntry(tmp / "system1/autostart", "b.desktop", entryFor(other));
    addEntry(tmp / "system2/autostart", "b.desktop", entryFor(program));
    addEntry(tmp / "system2/autostart", "a.desktop", entryFor(program));
    addEntry(userFolder(), "a.desktop", entryFor(program, "Hidden=true\n"));
    addEntry(userFolder(), "c.desktop", entryFor("other"));
    makeProgram(tmp / "relative-bin/d");
    addEntry(userFolder(), "d.desktop", entryFor("d"));
    addEntry(tmp / "system3/autostart", "e.desktop", entryFor(other));
    EXPECT_EQ(snapshot(), (Items{std::nullopt, other, other, std::nullopt}));
}

// Another program's entry is neither replaced nor shadowed; our own, switched
// off, is switched on again.
TEST_F(XdgLoginItemsTest, EnablingTakesTheFirstNameThatIsFreeOrOurs) {
    const std::string theirs = entryFor(makeProgram(tmp / "bin/other"));
    addEntry(userFolder(), "tesuko.desktop", theirs);
    addEntry(tmp / "system2/autostart", "tesuko-2.desktop", theirs);
    addEntry(tmp / "system1/autostart", "tesuko-3.desktop", "broken");
    addEntry(userFolder(), "tesuko-4.desktop", entryFor(program, "Hidden=true\n"));
    EXPECT_EQ(enable(), std::nullopt);
    EXPECT_EQ(readFile(userFolder() + "/tesuko.desktop"), theirs);
    EXPECT_EQ(std::distance(fs::directory_iterator(userFolder()), fs::directory_iterator()), 2)
        << "nothing shadows their entries";
    Items items = snapshot();
    EXPECT_NE(std::find(items.begin(), items.end(), program), items.end());
}

// A tray program starts after the panel, shows its icon in the session's
// list of login items, and is skipped quietly once its program is gone.
TEST_F(XdgLoginItemsTest, TheEntryWaitsForThePanelAndNamesItsIconAndProgram) {
    ASSERT_EQ(enable(), std::nullopt);
    const std::string path = userFolder() + "/tesuko.desktop";
    const std::string text = readFile(path);
    for (const std::string& line :
         {"TryExec=" + program, std::string("Icon=io.github.tesuko.Tesuko"),
          std::string("X-GNOME-Autostart-Delay=2"), std::string("X-KDE-autostart-after=panel")}) {
        EXPECT_NE(text.find("\n" + line + "\n"), std::string::npos) << line << " in\n" << text;
    }
    EXPECT_EQ(std::system(("PATH=/usr/bin:/bin desktop-file-validate '" + path + "'").c_str()), 0);
}

// Ours is an entry that runs this program, or a program called tesuko that
// no longer exists (the build folder moved, a package put it elsewhere).
TEST_F(XdgLoginItemsTest, AnEntryOfOursWithoutItsProgramIsReplacedAndNoOtherIs) {
    const std::string otherTesuko = makeProgram(tmp / "elsewhere/tesuko");
    const struct {
        std::string exec;
        bool replaced;
    } cases[] = {
        {"\"" + (tmp / "moved-build/app/tesuko") + "\"", true},
        {"tesuko --quiet", true},  // not on $PATH
        {tmp / "gone/other-tool", false},
        {otherTesuko, false},  // another tesuko, still there
    };
    for (const auto& c : cases) {
        fs::remove_all(userFolder());
        const std::string old = entryFor(c.exec);
        addEntry(userFolder(), "tesuko.desktop", old);
        ASSERT_EQ(enable(), std::nullopt) << c.exec;
        EXPECT_EQ(readFile(userFolder() + "/tesuko.desktop") != old, c.replaced) << c.exec;
        EXPECT_EQ(fs::exists(userFolder() + "/tesuko-2.desktop"), !c.replaced) << c.exec;
    }
}

TEST_F(XdgLoginItemsTest, AFailureGivesItsReasonAndLeavesNothingBehind) {
    // Running as root, permissions stop nothing; a file where a folder should be does.
    writeFile(tmp / "plain-file", "");
    env.set("XDG_CONFIG_HOME", tmp / "plain-file/config");
    EXPECT_NE(enable().value_or("").find("Not a directory"), std::string::npos);

    // Writes beyond a few bytes fail with EFBIG.
    env.set("XDG_CONFIG_HOME", tmp / "config");
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = 16;
    sighandler_t previous = ::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &limited);
    std::optional<std::string> error = enable();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, previous);
    EXPECT_NE(error.value_or("").find("File too large"), std::string::npos);
    EXPECT_TRUE(fs::is_empty(userFolder())) << "no temporary file left";
    EXPECT_EQ(fs::status(userFolder()).permissions() & fs::perms::all, fs::perms::owner_all)
        << "folders made on the way are private";
}

}  // namespace
}  // namespace tesuko
