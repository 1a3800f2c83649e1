#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>

#include "app/top_command.h"
#include "platform/posix/posix_file_system.h"
#include "ranking/log.h"
#include "ranking/totals_cache.h"
#include "tests/fakes/fake_home_folder.h"
#include "tests/fakes/fake_system_log.h"
#include "tests/fakes/fake_user_defaults.h"
#include "tests/integration/temp_dir.h"

namespace tesuko {
namespace {

std::string record(const std::string& name, const std::string& seconds,
                   const std::string& title = "A window title of some length") {
    return "2026年12月05日 13時40分48秒," + name + "," + title + ",3,10," + seconds + "\n";
}

std::uint64_t peakResidentBytes() {
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return std::uint64_t(usage.ru_maxrss) * 1024;
}

void appendFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::app) << bytes;
}

unsigned modeOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

class RankingFileTest : public ::testing::Test {
  protected:
    RankingFileTest() {
        std::filesystem::create_directories(dir / "Desktop/TESUKO");
        log.setTotalsCache(std::make_unique<FileTotalsCache>(files, systemLog, cachePath));
    }

    RankList scan() {
        log.scanLog();
        return log.getRankLog();
    }

    TempDir dir;
    std::string logPath = dir / "Desktop/TESUKO/log.csv";
    std::string cachePath = totalsCachePath(dir / "cache");
    PosixFileSystem files;
    FakeUserDefaults defaults;
    FakeSystemLog systemLog;
    FakeHomeFolder home{dir.path()};
    Log log{files, defaults, systemLog, home};
};

TEST_F(RankingFileTest, FollowsARealLogThroughAppendsRewritesAndReplacement) {
    writeFile(logPath, record("A", "1") + record("B", "2"));
    EXPECT_EQ(scan(), (RankList{{"B", 2}, {"A", 1}}));

    appendFile(logPath, record("A", "5") + "2026年12月05日 13時40分48秒,C,t,0,0,1");
    EXPECT_EQ(scan(), (RankList{{"A", 6}, {"B", 2}, {"C", 1}})) << "appended, last line unfinished";
    appendFile(logPath, "0\n");
    EXPECT_EQ(scan(), (RankList{{"C", 10}, {"A", 6}, {"B", 2}}));

    // Saved over in place (same inode), then replaced by a rename (new inode).
    writeFile(logPath, record("A", "1") + record("B", "3") + record("C", "10"));
    EXPECT_EQ(scan(), (RankList{{"C", 10}, {"B", 3}, {"A", 1}}));
    // The same size, edited far from the end; dated a day back, as the clock
    // may not have ticked since the last write.
    writeFile(logPath, record("Z", "1") + record("B", "3") + record("C", "10"));
    std::filesystem::last_write_time(
        logPath, std::filesystem::file_time_type::clock::now() - std::chrono::hours(24));
    EXPECT_EQ(scan(), (RankList{{"C", 10}, {"B", 3}, {"Z", 1}}));
    writeFile(dir / "new.csv",
              record("A", "1") + record("B", "3") + record("C", "10") + record("D", "1"));
    std::filesystem::rename(dir / "new.csv", logPath);
    EXPECT_EQ(scan(), (RankList{{"C", 10}, {"B", 3}, {"A", 1}, {"D", 1}}));

    std::filesystem::remove(logPath);
    EXPECT_TRUE(scan().empty());
    EXPECT_TRUE(systemLog.lines.empty());
}

TEST_F(RankingFileTest, APrivateCacheCarriesTheTotalsToTheNextRun) {
    writeFile(logPath, record("A", "1") + record("B", "2"));
    scan();
    ASSERT_TRUE(std::filesystem::exists(cachePath));
    EXPECT_EQ(modeOf(cachePath), 0600u);
    EXPECT_EQ(modeOf(dir / "cache/tesuko"), 0700u);

    appendFile(logPath, record("A", "5"));
    Log next(files, defaults, systemLog, home);
    next.setTotalsCache(std::make_unique<FileTotalsCache>(files, systemLog, cachePath));
    next.scanLog();
    EXPECT_EQ(next.getRankLog(), (RankList{{"A", 6}, {"B", 2}}));
    EXPECT_TRUE(systemLog.lines.empty());
}

// Neither an exception, nor a wait on a FIFO, nor endless bytes from a device.
TEST_F(RankingFileTest, WhateverIsAtTheCachePathTheMenuGetsAFullScanAndOneWarning) {
    writeFile(logPath, record("A", "1") + record("B", "2"));
    std::filesystem::create_directories(dir / "cache/tesuko");
    struct Case {
        const char* what;
        std::function<void()> plant;
    };
    const Case cases[] = {
        {"damaged", [&] { writeFile(cachePath, "damaged"); }},
        {"a folder", [&] { std::filesystem::create_directories(cachePath); }},
        {"a FIFO", [&] { ::mkfifo(cachePath.c_str(), 0600); }},
        {"a link to /dev/zero", [&] { ::symlink("/dev/zero", cachePath.c_str()); }},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(cachePath);
        c.plant();
        systemLog.lines.clear();
        Log next(files, defaults, systemLog, home);
        next.setTotalsCache(std::make_unique<FileTotalsCache>(files, systemLog, cachePath));
        next.scanLog();
        EXPECT_EQ(next.getRankLog(), (RankList{{"B", 2}, {"A", 1}})) << c.what;
        EXPECT_EQ(systemLog.lines.size(), 1u)
            << c.what << ": " << ::testing::PrintToString(systemLog.lines);
    }
}

// A log of 2 GB, nearly all of it one line of zeros (as a crash can leave
// behind, here a hole in a sparse file), after a record with a 1 MB title.
TEST_F(RankingFileTest, A2GBLogWithHugeLinesIsReadInLittleMemory) {
    writeFile(logPath, record("A", "1") + record("B", "2", std::string(1 << 20, 't')));
    std::filesystem::resize_file(logPath, std::uint64_t(2) << 30);
    appendFile(logPath, "\n" + record("C", "3"));
    const std::uint64_t peakBefore = peakResidentBytes();

    EXPECT_EQ(scan(), (RankList{{"C", 3}, {"B", 2}, {"A", 1}}));
    EXPECT_LT(peakResidentBytes() - peakBefore, std::uint64_t(64) << 20);
    ASSERT_EQ(systemLog.lines.size(), 1u);
    EXPECT_EQ(systemLog.lines[0], "Skipped 1 line of 16777216 bytes or more in " + logPath +
                                      "; the other records count.");
}

TEST_F(RankingFileTest, TopCommandReadsARealFileAndFailsClearlyOnAMissingOne) {
    writeFile(dir / "mine.csv", record("Terminal", "3723.6"));
    std::ostringstream out, err;
    std::vector<std::string> args = {"--top", "--log", dir / "mine.csv"};
    EXPECT_EQ(runTopCommand(args, files, defaults, systemLog, home, out, err), 0);
    EXPECT_EQ(out.str().substr(0, 12), "1 : Terminal");

    args[2] = dir / "missing.csv";
    EXPECT_EQ(runTopCommand(args, files, defaults, systemLog, home, out, err), 1);
    EXPECT_EQ(err.str(),
              "tesuko: cannot read the activity log " + args[2] + ": No such file or directory\n");
}

}  // namespace
}  // namespace tesuko
