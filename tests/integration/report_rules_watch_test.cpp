// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "app/desktop/report_rules_watch.h"
#include "fakes/fake_system_log.h"
#include "platform/posix/posix_file_system.h"
#include "support/main_loop.h"
#include "support/temp_dir.h"

namespace tesuko {
namespace {

// However an editor saves the rules, the tooltip learns what is wrong with
// them, and the system log says each broken line once.
TEST(RulesWatchTest, FollowsTheRulesFileThroughEveryKindOfSave) {
    ensureApplication();
    TempDir dir;
    const std::string path = dir / "rules";
    auto write = [](const std::string& file, const char* text) { std::ofstream(file) << text; };
    write(path, "Work = app x\nbroken\n");
    PosixFileSystem files;
    FakeSystemLog log;
    std::optional<RulesTrouble> trouble;
    RulesWatch watch(files, log, path, [&](std::optional<RulesTrouble> now) { trouble = now; });
    EXPECT_EQ(trouble, (RulesTrouble{path, 1, 2, 7}));

    const std::tuple<const char*, std::function<void()>, std::optional<RulesTrouble>> saves[] = {
        {"a new file renamed over it",
         [&] {
             write(dir / "rules.new", "Work = app x\n");
             std::rename((dir / "rules.new").c_str(), path.c_str());
         },
         std::nullopt},
        {"written in place", [&] { write(path, "A\nB = app\nC = app c\n"); },
         RulesTrouble{path, 2, 1, 2}},
        {"removed", [&] { std::remove(path.c_str()); }, std::nullopt},
        {"made again", [&] { write(path, "broken\n"); }, RulesTrouble{path, 1, 1, 7}},
    };
    for (const auto& [how, save, expected] : saves) {
        save();
        EXPECT_TRUE(pumpUntil([&] { return trouble == expected; })) << how;
    }
    EXPECT_EQ(log.said("rules:2:7: expected \"=\""), 1);
}

}  // namespace
}  // namespace tesuko
