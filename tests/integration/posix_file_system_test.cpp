#include "platform/posix/posix_file_system.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
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
    ASSERT_TRUE(fs.createDirectories(dir / "shared/a/b"));
    EXPECT_EQ(modeOf(dir / "shared"), 0755u);
    EXPECT_EQ(modeOf(dir / "shared/a"), 0700u);
    EXPECT_EQ(modeOf(dir / "shared/a/b"), 0700u);
    EXPECT_TRUE(fs.createDirectories(dir / "shared/a/b")) << "an existing folder is success";

    ASSERT_TRUE(fs.createEmptyFile(dir / "shared/a/b/log.csv"));
    EXPECT_EQ(modeOf(dir / "shared/a/b/log.csv"), 0600u);
    EXPECT_FALSE(fs.createEmptyFile(dir / "shared/a/b/log.csv")) << "never replaces a file";
    EXPECT_FALSE(fs.createDirectories(dir / "shared/a/b/log.csv/x"));
}

TEST(PosixFileSystem, AppendsAfterExistingContentInOneWriteEach) {
    TempDir dir;
    PosixFileSystem fs;
    writeFile(dir / "log.csv", "first\n");
    Opened<FileWriter> opened = fs.openForWriting(dir / "log.csv");
    ASSERT_TRUE(opened.file) << opened.error;
    opened.file->seekToEnd();
    EXPECT_EQ(opened.file->write("second\n"), std::nullopt);
    // Someone else appends meanwhile: O_APPEND still puts ours at the end.
    writeFile(dir / "other", "");
    {
        std::ofstream append(dir / "log.csv", std::ios::app);
        append << "third\n";
    }
    EXPECT_EQ(opened.file->write("fourth\n"), std::nullopt);
    EXPECT_EQ(readFile(dir / "log.csv"), "first\nsecond\nthird\nfourth\n");
}

TEST(PosixFileSystem, ReportsWhyALogCannotBeOpened) {
    TempDir dir;
    PosixFileSystem fs;
    fs.createDirectories(dir / "folder");
    EXPECT_EQ(fs.openForWriting(dir / "folder").error, "Is a directory");
    EXPECT_EQ(fs.openForWriting(dir / "missing").error, "No such file or directory");
    EXPECT_EQ(fs.openForReading(dir / "folder").error, "Is a directory");
    EXPECT_EQ(fs.readAll(dir / "missing"), std::nullopt);
}

TEST(PosixFileSystem, FullDiskLeavesNoPartialRecord) {
    PosixFileSystem fs;
    if (!fs.exists("/dev/full")) {
        GTEST_SKIP() << "/dev/full is missing";
    }
    Opened<FileWriter> opened = fs.openForWriting("/dev/full");
    ASSERT_TRUE(opened.file);
    auto error = opened.file->write("a record\n");
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(*error, "No space left on device");
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
    PosixFileSystem fs;
    Opened<FileWriter> opened = fs.openForWriting(slowFile);
    ASSERT_TRUE(opened.file) << opened.error;

    std::atomic<bool> writing{true};
    std::thread signaller([&, writer = ::pthread_self()] {
        while (writing) {
            ::pthread_kill(writer, SIGTERM);
            std::this_thread::sleep_for(50us);
        }
    });
    std::string record(1 << 20, 'r');
    record.back() = '\n';
    const std::optional<std::string> error = opened.file->write(record);
    writing = false;
    signaller.join();
    opened.file.reset();
    reader.join();

    EXPECT_EQ(error, std::nullopt);
    EXPECT_EQ(received.size(), record.size());
    EXPECT_TRUE(received == record);
    EXPECT_FALSE(signals.take().empty()) << "no signal arrived during the write";
}

TEST(PosixFileSystem, ReadsWholeFilesAndIdentifiesThem) {
    TempDir dir;
    PosixFileSystem fs;
    std::string big(200000, 'x');
    writeFile(dir / "big", big);
    EXPECT_EQ(fs.readAll(dir / "big"), big);
    Opened<FileReader> reader = fs.openForReading(dir / "big");
    ASSERT_TRUE(reader.file);
    FileIdentity id = reader.file->identity();
    EXPECT_EQ(id.size, big.size());
    EXPECT_NE(id.inode, 0u);
}

}  // namespace
}  // namespace tesuko
