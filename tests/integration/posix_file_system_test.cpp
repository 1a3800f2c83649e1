// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_file_writer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "fakes/fake_platform.h"
#include "platform/posix/signal_pipe.h"
#include "platform/posix/unique_fd.h"
#include "recorder/recorder.h"
#include "support/temp_dir.h"

namespace tesuko {
namespace {

namespace fs = std::filesystem;

unsigned modeOf(const std::string& path) {
    struct stat info = {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

class PosixFileSystemTest : public ::testing::Test {
  protected:
    TempDir dir;
    PosixFileSystem fs;
};

TEST_F(PosixFileSystemTest, CreatesPrivateFoldersAndFilesAndAppendsAtTheEnd) {
    ::mkdir((dir / "shared").c_str(), 0755);
    ASSERT_EQ(fs.createDirectories(dir / "shared/a/b"), std::nullopt);
    EXPECT_EQ(modeOf(dir / "shared/a/b"), 0700u);
    Opened<FileWriter> log = fs.createForWriting(dir / "shared/a/log.csv");
    ASSERT_TRUE(log.file) << faultText(log.error);
    EXPECT_EQ(modeOf(dir / "shared/a/log.csv"), 0600u);
    EXPECT_EQ(log.file->write("mine\n"), std::nullopt);
    std::ofstream(dir / "shared/a/log.csv", std::ios::app) << "theirs";
    EXPECT_EQ(log.file->lastByte(), 's');
    EXPECT_EQ(log.file->write("\nmine\n"), std::nullopt);
    EXPECT_EQ(readFile(dir / "shared/a/log.csv"), "mine\ntheirs\nmine\n");
}

// Nothing may block the main loop on a file: a FIFO without a peer, a device
// or a folder is refused at once, whatever the operation.
TEST_F(PosixFileSystemTest, RefusesWhatIsNoRegularFileWithoutBlocking) {
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    for (const std::string& path : {dir / "fifo", std::string("/dev/zero"), dir.path()}) {
        EXPECT_FALSE(fs.openForReading(path).file) << path;
        EXPECT_FALSE(fs.openForWriting(path, FileSystem::Links::follow).file) << path;
        EXPECT_FALSE(fs.readSmallFile(path, 100).bytes) << path;
    }
}

// A link planted where the log was must never lead records into another file.
TEST_F(PosixFileSystemTest, NewFilesRefusedLinksAndReplacementsNeverWriteThroughALink) {
    writeFile(dir / "victim", "theirs\n");
    ASSERT_EQ(::symlink((dir / "victim").c_str(), (dir / "log.csv").c_str()), 0);
    ASSERT_EQ(::symlink((dir / "nowhere").c_str(), (dir / "dangling").c_str()), 0);
    EXPECT_FALSE(fs.createForWriting(dir / "log.csv").file);
    EXPECT_FALSE(fs.createForWriting(dir / "dangling").file);
    EXPECT_FALSE(fs.openForWriting(dir / "log.csv", FileSystem::Links::refuse).file);
    EXPECT_TRUE(fs.openForWriting(dir / "log.csv", FileSystem::Links::follow).file)
        << "the user's own choice of a linked log is kept";
    EXPECT_EQ(fs.replaceFile(dir / "log.csv", "ours\n", FileSystem::Access::asBefore),
              std::nullopt);
    EXPECT_EQ(readFile(dir / "victim") + readFile(dir / "log.csv"), "theirs\nours\n");
    EXPECT_EQ(modeOf(dir / "log.csv"), 0600u);
}

TEST_F(PosixFileSystemTest, ReplacesFilesWholeAndReadsThemBackWithinALimit) {
    EXPECT_EQ(fs.replaceFile(dir / "new/state", "0123456789", FileSystem::Access::asBefore),
              std::nullopt);
    EXPECT_EQ(modeOf(dir / "new"), 0700u);
    // A cache or checkpoint left readable by an older program becomes private.
    ::chmod((dir / "new/state").c_str(), 0644);
    EXPECT_EQ(fs.replaceFile(dir / "new/state", "0123456789", FileSystem::Access::privateToUser),
              std::nullopt);
    EXPECT_EQ(modeOf(dir / "new/state"), 0600u);
    EXPECT_EQ(fs.readSmallFile(dir / "new/state", 10).bytes, "0123456789");
    EXPECT_FALSE(fs.readSmallFile(dir / "new/state", 9).bytes);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "new"), {}), 1)
        << "no temporary file is left behind";
}

// Edited in place at the same size, its modification time put back: only the
// status change time tells. Replaced, it is another file.
TEST_F(PosixFileSystemTest, IdentifiesFilesAndNoticesAnEditInPlaceOrAReplacement) {
    writeFile(dir / "log", "1.0\n");
    FileIdentity before = fs.openForReading(dir / "log").file->identity();
    struct stat info = {};
    ::stat((dir / "log").c_str(), &info);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    writeFile(dir / "log", "2.0\n");
    const timespec times[2] = {info.st_atim, info.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, (dir / "log").c_str(), times, 0), 0);
    FileIdentity after = fs.openForReading(dir / "log").file->identity();
    EXPECT_TRUE(after.sameFile(before));
    EXPECT_EQ(after.modified, before.modified);
    EXPECT_NE(after.changed, before.changed);
    auto writer = fs.openForWriting(dir / "log", FileSystem::Links::refuse).file;
    EXPECT_TRUE(writer->stillAt(dir / "log"));
    writeFile(dir / "new", "");
    fs::rename(dir / "new", dir / "log");
    EXPECT_FALSE(fs.openForReading(dir / "log").file->identity().sameFile(before));
    EXPECT_FALSE(writer->stillAt(dir / "log")) << "the log was replaced";
}

// The program's own SIGTERM handler returns, so a write blocked on a slow
// file comes back short when the signal arrives; the record must still
// arrive whole, and once.
TEST(PosixFileWriter, ARecordCutShortBySignalsArrivesWhole) {
    using namespace std::chrono_literals;
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "slow").c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] {
        UniqueFd in(::open((dir / "slow").c_str(), O_RDONLY | O_CLOEXEC));
        char chunk[4096];
        for (ssize_t got; (got = ::read(in.get(), chunk, sizeof chunk)) > 0;) {
            received.append(chunk, std::size_t(got));
            std::this_thread::sleep_for(100us);  // keeps the writer waiting
        }
    });
    SignalPipe signals{SIGTERM};
    std::optional<PosixFileWriter> writer{UniqueFd(::open((dir / "slow").c_str(), O_WRONLY))};
    std::atomic<bool> writing{true};
    std::thread signaller([&, writer = ::pthread_self()] {
        while (writing) {
            ::pthread_kill(writer, SIGTERM);
            std::this_thread::sleep_for(50us);
        }
    });
    std::string record(1 << 20, 'r');
    const FileError error = writer->write(record);
    writing = false;
    signaller.join();
    writer.reset();
    reader.join();
    EXPECT_EQ(error, std::nullopt);
    EXPECT_TRUE(received == record) << received.size() << " bytes of " << record.size();
    EXPECT_FALSE(signals.take().empty()) << "no signal arrived during the write";
}

// The recorder against real files: what the disk and the user do to the log
// while tesuko runs must never cost a record silently.

// A recorder over real files, everything else faked; it starts at the first switch.
class RecorderFilesTest : public ::testing::Test {
  protected:
    RecorderFilesTest() : fakes(home.path()) {
        fakes.workspace.setActiveApplication("Editor");
        fakes.windowList.setWindows({{"Editor", "Notes"}, {"Browser", "News"}});
    }
    ~RecorderFilesTest() override {
        if (!mounted.empty()) {
            ::umount2(mounted.c_str(), MNT_DETACH);
        }
    }

    // Switches back and forth, each switch a record.
    void switches(int count) {
        if (!recorder) {
            recorder.emplace(platform).run();
        }
        for (int i = 0; i < count; ++i) {
            fakes.clock.advance(std::chrono::seconds(1));
            fakes.workspace.switchTo(fakes.workspace.activeApplication() == "Editor" ? "Browser"
                                                                                     : "Editor");
        }
    }

    TempDir home;
    const std::string folder = home / "Desktop/TESUKO";
    const std::string logPath = folder + "/log.csv";
    std::string mounted;
    FakePlatform fakes;
    PosixFileSystem files;
    Platform platform{fakes.workspace, fakes.windowList,   fakes.inputMonitors, fakes.idleWatch,
                      files,           fakes.userDefaults, fakes.savePanel,     fakes.loginItems,
                      fakes.systemLog, fakes.clock,        fakes.homeFolder};
    std::optional<Recorder> recorder;
};

// Nothing at the log's path may hang recording or lead records elsewhere.
TEST_F(RecorderFilesTest, AFifoOrAPlantedLinkAtTheLogPathTakesNoRecord) {
    switches(0);
    fs::remove(logPath);
    ASSERT_EQ(::mkfifo(logPath.c_str(), 0600), 0);
    switches(1);  // would block in open() forever
    EXPECT_TRUE(fakes.systemLog.said("not a regular file"));
    fs::remove(logPath);
    writeFile(home / "victim", "");
    fs::create_symlink(home / "victim", logPath);
    switches(1);
    EXPECT_EQ(readFile(home / "victim"), "");
    EXPECT_TRUE(fakes.systemLog.said("Could not open the log " + logPath));
}

// A link the user made is followed again after a sync tool replaced its file.
TEST_F(RecorderFilesTest, ALogChosenThroughALinkIsFollowedToItsReplacement) {
    fs::create_directories(folder);
    writeFile(home / "synced.csv", "");
    fs::create_symlink(home / "synced.csv", logPath);
    switches(1);
    writeFile(home / "synced.new", readFile(home / "synced.csv"));
    fs::rename(home / "synced.new", home / "synced.csv");
    switches(2);
    EXPECT_EQ(linesOf(readFile(home / "synced.csv")).size(), 3u);
}

TEST_F(RecorderFilesTest, ARecordNeverJoinsAnUnfinishedLastLine) {
    fs::create_directories(folder);
    writeFile(logPath, "cut short by a crash");
    switches(1);
    std::vector<std::string> lines = linesOf(readFile(logPath));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "cut short by a crash");
    EXPECT_NE(lines[1].find(",Editor,Notes,0,0,1.000000"), std::string::npos);
}

TEST_F(RecorderFilesTest, AFullDiskLeavesNoPartialRecordAndIsReported) {
    fs::create_directories(home / "Desktop");
    if (::mount("tmpfs", (home / "Desktop").c_str(), "tmpfs", 0, "size=16k,mode=0700") != 0) {
        GTEST_SKIP() << "mounting a tmpfs needs root (CI runs as root)";
    }
    mounted = home / "Desktop";
    switches(0);
    writeFile(home / "Desktop/filler", std::string(16 * 1024, 'x'));  // as much as fits
    ASSERT_GT(fs::file_size(home / "Desktop/filler"), 8192u);
    for (int i = 0; i < 100 && !fakes.systemLog.said("Could not write a record"); ++i) {
        switches(1);
    }
    EXPECT_TRUE(fakes.systemLog.said("Could not write a record to " + logPath));
    std::string content = readFile(logPath);
    EXPECT_TRUE(content.empty() || content.back() == '\n') << "no partial record";
}

// The records while the folder is read-only wait in memory (each failure is
// reported); the first switch after it is writable again writes them, in
// order, before its own.
TEST_F(RecorderFilesTest, RecordingRecoversOnceTheLogFolderIsWritableAgain) {
    switches(0);
    fs::remove(logPath);
    // A read-only view of the folder: the recorder's open log keeps the
    // folder's own file system from being remounted read-only.
    if (::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0) {
        GTEST_SKIP() << "bind mounts need root (CI runs as root)";
    }
    mounted = folder;
    ASSERT_EQ(::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr),
              0);
    switches(3);
    EXPECT_TRUE(recorder->writeProblem().has_value());
    ASSERT_EQ(::umount2(std::exchange(mounted, "").c_str(), MNT_DETACH), 0);
    switches(4);
    EXPECT_EQ(linesOf(readFile(logPath)).size(), 7u);
    EXPECT_EQ(recorder->writeProblem(), std::nullopt);
}

}  // namespace
}  // namespace tesuko
