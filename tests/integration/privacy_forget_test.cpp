// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <sstream>
#include <thread>

#include "app/report_command.h"
#include "fakes/fake_platform.h"
#include "platform/posix/posix_file_system.h"
#include "ranking/totals_cache.h"
#include "recorder/recorder.h"
#include "report/title_days_cache.h"
#include "support/temp_dir.h"
#include "tests/scoped_env.h"

namespace tesuko {
namespace {

using namespace std::chrono;
namespace fs = std::filesystem;

std::string record(const std::string& time, const std::string& application, double seconds,
                   const std::string& end = "\n") {
    std::string line = "2026年12月05日 " + time + "," + application + ",a title,1,2,";
    appendSeconds(line, seconds);
    return line + end;
}

// A log long enough for a rewrite to take a while.
std::string longLog() {
    std::string log;
    for (int i = 0; i < 40000; ++i) {
        log += record("12時00分00秒", "Application " + std::to_string(i % 7), 1);
    }
    return log;
}

// A stopped recorder at 14:00:00 over real files: forgetting 15 minutes
// cuts at 13:45:00.
class ForgetFilesTest : public ::testing::Test {
  protected:
    ForgetFilesTest() {
        fakes.clock.setWall(sys_days{2026y / 12 / 5} + 14h);
        recorder.emplace(platform);
        log = recorder->filePath();
    }
    ~ForgetFilesTest() override {
        if (mounted) {
            ::umount2(log.substr(0, log.rfind('/')).c_str(), MNT_DETACH);
        }
    }
    // Files in the log's folder: the log, and a new one while it is written.
    std::ptrdiff_t filesBeside() const {
        return std::distance(fs::directory_iterator(fs::path(log).parent_path()), {});
    }

    ScopedEnv zone{"TZ", "UTC0"};  // the fake clock's local time
    TempDir home;
    FakePlatform fakes{home.path()};
    PosixFileSystem files;
    Platform platform{fakes.workspace, fakes.windowList,   fakes.inputMonitors, fakes.idleWatch,
                      files,           fakes.userDefaults, fakes.savePanel,     fakes.loginItems,
                      fakes.systemLog, fakes.clock,        fakes.homeFolder};
    std::optional<Recorder> recorder;
    std::string log;
    bool mounted = false;
};

TEST_F(ForgetFilesTest, TheRewrittenLogIsTheOldOneWithoutItsTailByteForByte) {
    const std::string kept = record("13時00分00秒", "Old", 600, "\r\n") + "a line of no record\n" +
                             record("13時30分00秒", "Old、er", 1.5);
    writeFile(log, kept + record("13時40分00秒", "Straddles", 600) +
                       record("13時50分00秒", "Gone", 300) + "damaged after it\n");
    // A log its owner opened to the group stays so.
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(log, mode);
    ASSERT_EQ(recorder->forget(15min), std::nullopt);
    EXPECT_EQ(readFile(log), kept + record("13時40分00秒", "Straddles", 300));
    EXPECT_EQ(fs::status(log).permissions(), mode);
    EXPECT_EQ(filesBeside(), 1);
}

TEST_F(ForgetFilesTest, AReadOnlyFolderLeavesTheLogUntouched) {
    const std::string before = record("13時50分00秒", "Gone", 300);
    writeFile(log, before);
    const std::string folder = fs::path(log).parent_path();
    // A read-only view of the folder: root writes through permissions.
    mounted = ::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) == 0;
    if (!mounted) {
        GTEST_SKIP() << "bind mounts need root (CI runs as root)";
    }
    ASSERT_EQ(::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr),
              0);
    const std::optional<LogProblem> problem = recorder->forget(15min);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->doing, LogProblem::Doing::rewritingLog);
    EXPECT_EQ(problem->path, log);
    EXPECT_EQ(readFile(log), before);
}

// A report of the tray's log by another path goes through the tray's cache,
// which the tray removes on forgetting: then no cache names what was forgotten.
TEST_F(ForgetFilesTest, NoCacheOfTheLogNamesWhatWasForgotten) {
    writeFile(log, record("13時00分00秒", "Kept", 60) + record("13時50分00秒", "Gone", 300));
    const std::string cacheFolder = fakes.homeFolder.cacheFolder();
    const std::string sameLog = fs::path(log).parent_path() / "." / fs::path(log).filename();
    auto report = [&](const std::string& by = "app") {
        std::ostringstream out;
        std::ostringstream err;
        runReportCommand(
            {"report", "--log", sameLog, "--by", by},
            {files, fakes.userDefaults, fakes.systemLog, fakes.homeFolder, fakes.clock, "en_US"},
            out, err);
        return out.str();
    };
    EXPECT_NE(report().find("Gone"), std::string::npos);
    EXPECT_NE(report("category").find("Uncategorized"), std::string::npos);  // windows cached
    ASSERT_EQ(recorder->forget(15min), std::nullopt);
    EXPECT_TRUE(removeLogCaches(files, totalsCachePath(cacheFolder)).empty());  // as the tray does
    for (const auto& cache : fs::recursive_directory_iterator(cacheFolder)) {
        EXPECT_TRUE(cache.is_directory() ||
                    readFile(cache.path()).find("Gone") == std::string::npos)
            << cache.path();
    }
    EXPECT_EQ(report().find("Gone"), std::string::npos);
}

// Killed at any moment, the log is the old file or the new one: never a mix.
// The kill comes while the new file is being written beside it, or later.
TEST_F(ForgetFilesTest, AKillDuringTheRewriteLeavesTheOldLogOrTheNewOne) {
    const std::string rewritten = longLog();
    const std::string old = rewritten + record("13時59分00秒", "Gone", 60);
    int killedWhileWriting = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        writeFile(log, old);
        const std::ptrdiff_t before = filesBeside();  // and those a kill left
        const pid_t child = ::fork();
        if (child == 0) {
            ::_exit(recorder->forget(15min) ? 1 : 0);
        }
        const auto deadline = steady_clock::now() + 10s;
        bool exited = false;
        while (filesBeside() == before && !(exited = ::waitpid(child, nullptr, WNOHANG) == child) &&
               steady_clock::now() < deadline) {
            std::this_thread::sleep_for(200us);
        }
        if (!exited) {
            killedWhileWriting += filesBeside() > before;
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
        }
        const std::string now = readFile(log);
        EXPECT_TRUE(now == old || now == rewritten) << "a log of " << now.size() << " bytes";
    }
    EXPECT_GT(killedWhileWriting, 0) << "never caught the rewrite between write and rename";
}

// Another program appends a line at a time, opening the log for each, while
// the log is rewritten again and again: every line it wrote is there.
TEST_F(ForgetFilesTest, LinesAppendedDuringTheRewriteAreKept) {
    writeFile(log, longLog());
    fakes.workspace.setActiveApplication("Editor");
    recorder->init();
    recorder->run();
    constexpr int kLines = 400;
    const pid_t child = ::fork();
    if (child == 0) {
        for (int i = 0; i < kLines; ++i) {
            const int fd = ::open(log.c_str(), O_WRONLY | O_APPEND);
            const std::string line = record("12時00分00秒", "Appended", i);
            const bool written =
                fd >= 0 && ::write(fd, line.data(), line.size()) == ssize_t(line.size());
            ::close(fd);
            if (!written) {
                ::_exit(1);
            }
            std::this_thread::sleep_for(300us);
        }
        ::_exit(0);
    }
    int rewrites = 0;
    int status = 0;
    for (; ::waitpid(child, &status, WNOHANG) == 0; ++rewrites) {
        fakes.clock.advance(16min);  // so that each rewrites the log
        ASSERT_EQ(recorder->forget(15min), std::nullopt);
    }
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_GT(rewrites, 1);
    const std::string now = readFile(log);
    int appended = 0;
    for (std::size_t at = 0; (at = now.find(",Appended,", at)) != std::string::npos; ++at) {
        ++appended;
    }
    EXPECT_EQ(appended, kLines) << "in " << rewrites << " rewrites";
}

// What a rewrite killed midway left beside the log goes at the next start,
// once it is an hour old; other files stay.
TEST_F(ForgetFilesTest, AStartRemovesTheTemporaryFilesOfAKilledRewrite) {
    const fs::path folder = fs::path(log).parent_path();
    const auto old = fs::file_time_type::clock::now() - 2h;
    for (const char* name : {".tesuko-Ab12Cd", ".tesuko-new123", ".tesuko-long123", "notes"}) {
        writeFile((folder / name).string(), "x");
        fs::last_write_time(folder / name, std::string(name) == ".tesuko-new123"
                                               ? fs::file_time_type::clock::now()
                                               : old);
    }
    recorder.emplace(platform);
    EXPECT_FALSE(fs::exists(folder / ".tesuko-Ab12Cd"));
    for (const char* name : {".tesuko-new123", ".tesuko-long123", "notes"}) {
        EXPECT_TRUE(fs::exists(folder / name)) << name;
    }
}

}  // namespace
}  // namespace tesuko
