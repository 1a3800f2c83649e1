// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/posix/env_home_folder.h"
#include "support/temp_dir.h"
#include "tests/scoped_env.h"

namespace tesuko {
namespace {

// The desktop folder in the user's language, as xdg-user-dirs-update writes it.
TEST(HomeFolderTest, TheDesktopFolderIsTheOneUserDirsNames) {
    const struct {
        const char* userDirs;
        std::optional<std::string> folder;
    } cases[] = {
        {"XDG_DOWNLOAD_DIR=\"$HOME/ダウンロード\"\nXDG_DESKTOP_DIR=\"$HOME/デスクトップ\"\n",
         "/home/u/デスクトップ"},
        {"# written by xdg-user-dirs-update\n  XDG_DESKTOP_DIR=\"/data/desk/\"\n", "/data/desk"},
        {"XDG_DESKTOP_DIR=\"$HOME/My \\\"Desk\\\"\"", "/home/u/My \"Desk\""},
        {"XDG_DESKTOP_DIR=\"$HOME\"", "/home/u"},
        {"XDG_DESKTOP_DIR=\"$HOME/a\"\nXDG_DESKTOP_DIR=\"$HOME/b\"", "/home/u/b"},
        {"XDG_DESKTOP_DIR=\"Desktop\"", std::nullopt},  // neither $HOME/ nor absolute
        {"XDG_DESKTOP_DIR=\"$HOMEWORK/x\"", std::nullopt},
        {"XDG_DESKTOP_DIR=$HOME/Desktop", std::nullopt},  // unquoted
        {"# XDG_DESKTOP_DIR=\"$HOME/Desktop\"", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(desktopFolderIn(c.userDirs, "/home/u"), c.folder) << c.userDirs;
    }
}

TEST(HomeFolderTest, TheDesktopFolderIsReadFromTheConfigFolderAtEveryCall) {
    TempDir dir;
    ScopedEnv env("HOME", dir / "home");
    env.set("XDG_CONFIG_HOME", dir / "config");
    EnvHomeFolder home;
    EXPECT_EQ(home.desktopFolder(), dir / "home/Desktop");
    std::filesystem::create_directories(dir / "config");
    writeFile(dir / "config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/デスクトップ\"\n");
    EXPECT_EQ(home.desktopFolder(), dir / "home/デスクトップ");
}

}  // namespace
}  // namespace tesuko
