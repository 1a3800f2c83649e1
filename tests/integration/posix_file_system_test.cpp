#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_file_writer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/posix/signal_pipe.h"
#include "platform/posix/unique_fd.h"
#include "tests/integration/temp_dir.h"

namespace tesuko {
namespace {

unsigned modeOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

TEST(PosixFileSystem, CreatesPrivateFoldersAndFilesAndKeepsExistingModes) {
    TempDir dir;
    PosixFileSystem fs;
    ::mkdir((dir / "shared").c_str(), 0755);
    ASSERT_EQ(fs.createDirectories(dir / "shared/a/b"), std::nullopt);
    EXPECT_EQ(modeOf(dir / "shared"), 0755u);
    EXPECT_EQ(modeOf(dir / "shared/a"), 0700u);
    EXPECT_EQ(modeOf(dir / "shared/a/b"), 0700u);
    EXPECT_EQ(fs.createDirectories(dir / "shared/a/b"), std::nullopt) << "existing is success";

    ASSERT_EQ(fs.createEmptyFile(dir / "shared/a/b/log.csv"), std::nullopt);
    EXPECT_EQ(modeOf(dir / "shared/a/b/log.csv"), 0600u);
    EXPECT_EQ(fs.createEmptyFile(dir / "shared/a/b/log.csv"), "File exists");
    EXPECT_EQ(fs.createDirectories(dir / "shared/a/b/log.csv/x"),
              "Not a directory (" + dir / "shared/a/b/log.csv/x" + ")");
}

TEST(PosixFileSystem, AppendsAfterExistingContentInOneWriteEach) {
    TempDir dir;
    PosixFileSystem fs;
    writeFile(dir / "log.csv", "first\n");
    Opened<FileWriter> opened = fs.openForWriting(dir / "log.csv", FileSystem::Links::refuse);
    ASSERT_TRUE(opened.file) << opened.error;
    EXPECT_EQ(opened.file->lastByte(), '\n');
    EXPECT_EQ(opened.file->write("second\n"), std::nullopt);
    // Someone else appends meanwhile: O_APPEND still puts ours at the end.
    {
        std::ofstream append(dir / "log.csv", std::ios::app);
        append << "third";
    }
    EXPECT_EQ(opened.file->lastByte(), 'd');
    EXPECT_EQ(opened.file->write("\nfourth\n"), std::nullopt);
    EXPECT_EQ(readFile(dir / "log.csv"), "first\nsecond\nthird\nfourth\n");
}

// Nothing may block the main loop on a file: a FIFO without a peer, a device
// or a folder is refused at once, whatever the operation.
TEST(PosixFileSystem, RefusesWhatIsNoRegularFileWithoutBlocking) {
    TempDir dir;
    PosixFileSystem fs;
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    ::mkdir((dir / "folder").c_str(), 0700);
    const std::string notRegular = "not a regular file (a FIFO, a device or a socket?)";
    struct Case {
        std::string path;
        std::string error;
    } cases[] = {
        {dir / "fifo", notRegular},
        {"/dev/zero", notRegular},
        {dir / "folder", "Is a directory"},
        {dir / "missing", "No such file or directory"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fs.openForReading(c.path).error, c.error) << c.path;
        EXPECT_EQ(fs.openForWriting(c.path, FileSystem::Links::follow).error, c.error) << c.path;
        EXPECT_EQ(fs.readSmallFile(c.path, 100).error, c.error) << c.path;
    }
}

// A link planted where the log was must never lead records into another file.
TEST(PosixFileSystem, NewFilesAndRefusedLinksNeverWriteThroughALink) {
    TempDir dir;
    PosixFileSystem fs;
    writeFile(dir / "victim", "theirs\n");
    ASSERT_EQ(::symlink((dir / "victim").c_str(), (dir / "log.csv").c_str()), 0);
    ASSERT_EQ(::symlink((dir / "nowhere").c_str(), (dir / "dangling").c_str()), 0);

    EXPECT_EQ(fs.createForWriting(dir / "log.csv").error, "File exists");
    EXPECT_EQ(fs.createForWriting(dir / "dangling").error, "File exists");
    EXPECT_FALSE(fs.exists(dir / "nowhere"));
    EXPECT_EQ(fs.openForWriting(dir / "log.csv", FileSystem::Links::refuse).error,
              "Too many levels of symbolic links");
    EXPECT_TRUE(fs.openForWriting(dir / "log.csv", FileSystem::Links::follow).file)
        << "the user's own choice of a linked log is kept";

    EXPECT_EQ(fs.replaceFile(dir / "log.csv", "ours\n"), std::nullopt);
    EXPECT_EQ(readFile(dir / "victim"), "theirs\n");
    EXPECT_EQ(readFile(dir / "log.csv"), "ours\n");
    EXPECT_EQ(modeOf(dir / "log.csv"), 0600u);
}

TEST(PosixFileSystem, ReplacesFilesWholeAndReadsThemBackWithinALimit) {
    TempDir dir;
    PosixFileSystem fs;
    EXPECT_EQ(fs.replaceFile(dir / "new/state", "0123456789"), std::nullopt);
    EXPECT_EQ(modeOf(dir / "new"), 0700u);
    EXPECT_EQ(fs.readSmallFile(dir / "new/state", 10).bytes, "0123456789");
    EXPECT_EQ(fs.readSmallFile(dir / "new/state", 9).error, "larger than 9 bytes");
    EXPECT_EQ(fs.replaceFile(dir / "new/state", ""), std::nullopt);
    EXPECT_EQ(fs.readSmallFile(dir / "new/state", 10).bytes, "");

    writeFile(dir / "file", "");
    EXPECT_TRUE(fs.replaceFile(dir / "file/state", "x").has_value()) << "a file is no folder";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "new"), {}), 1)
        << "no temporary file is left behind";

    EXPECT_EQ(fs.removeFile(dir / "new/state"), std::nullopt);
    EXPECT_EQ(fs.removeFile(dir / "new/state"), std::nullopt) << "already gone is success";
    EXPECT_FALSE(fs.exists(dir / "new/state"));
}

TEST(PosixFileSystem, FullDiskLeavesNoPartialRecord) {
    UniqueFd full(::open("/dev/full", O_WRONLY | O_CLOEXEC));
    if (!full) {
        GTEST_SKIP() << "/dev/full is missing";
    }
    PosixFileWriter writer(std::move(full));
    EXPECT_EQ(writer.write("a record\n"), "No space left on device");
}

// The program's own SIGTERM handler returns, so a write blocked on a slow
// file comes back short when the signal arrives; the record must still
// arrive whole, and once.
TEST(PosixFileSystem, ARecordCutShortBySignalsArrivesWhole) {
    using namespace std::chrono_literals;
    TempDir dir;
    const std::string slowFile = dir / "slow";
    ASSERT_EQ(::mkfifo(slowFile.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] {
        UniqueFd in(::open(slowFile.c_str(), O_RDONLY | O_CLOEXEC));
        char chunk[4096];
        ssize_t got = 0;
        while ((got = ::read(in.get(), chunk, sizeof chunk)) > 0) {
            received.append(chunk, std::size_t(got));
            std::this_thread::sleep_for(100us);  // keeps the writer waiting
        }
    });
    SignalPipe signals{SIGTERM};
    std::optional<PosixFileWriter> writer{UniqueFd(::open(slowFile.c_str(), O_WRONLY | O_CLOEXEC))};

    std::atomic<bool> writing{true};
    std::thread signaller([&, writer = ::pthread_self()] {
        while (writing) {
            ::pthread_kill(writer, SIGTERM);
            std::this_thread::sleep_for(50us);
        }
    });
    std::string record(1 << 20, 'r');
    record.back() = '\n';
    const FileError error = writer->write(record);
    writing = false;
    signaller.join();
    writer.reset();
    reader.join();

    EXPECT_EQ(error, std::nullopt);
    EXPECT_EQ(received.size(), record.size());
    EXPECT_TRUE(received == record);
    EXPECT_FALSE(signals.take().empty()) << "no signal arrived during the write";
}

TEST(PosixFileSystem, IdentifiesFilesAndNoticesAnEditInPlace) {
    TempDir dir;
    PosixFileSystem fs;
    writeFile(dir / "log", "100.000000\n");
    FileIdentity before = fs.openForReading(dir / "log").file->identity();
    EXPECT_EQ(before.size, 11u);
    EXPECT_NE(before.inode, 0u);
    struct timespec past[2] = {{1, 0}, {1, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (dir / "log").c_str(), past, 0), 0);
    FileIdentity after = fs.openForReading(dir / "log").file->identity();
    EXPECT_TRUE(after.sameFile(before));
    EXPECT_NE(after.modified, before.modified);
}

}  // namespace
}  // namespace tesuko
