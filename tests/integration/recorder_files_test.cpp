// The recorder against real files: what the disk and the user do to the log
// while tesuko runs must never cost a record silently.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>

#include "platform/posix/posix_file_system.h"
#include "recorder/recorder.h"
#include "tests/fakes/fake_platform.h"
#include "tests/integration/temp_dir.h"

namespace tesuko {
namespace {

class RecorderFilesTest : public ::testing::Test {
  protected:
    RecorderFilesTest() : fakes(home.path()) {
        fakes.workspace.setActiveApplication("Editor");
        fakes.windowList.setWindows({{"Editor", "Notes"}, {"Browser", "News"}});
    }

    std::string logPath() const { return home / "Desktop/TESUKO/log.csv"; }
    void switchTo(const char* application) {
        fakes.clock.advance(std::chrono::seconds(1));
        fakes.workspace.switchTo(application);
    }
    bool loggedContaining(const std::string& part) const {
        const auto& lines = fakes.systemLog.lines;
        return std::any_of(lines.begin(), lines.end(),
                           [&](const std::string& l) { return l.find(part) != std::string::npos; });
    }

    TempDir home;
    FakePlatform fakes;
    PosixFileSystem files;
    Platform platform{fakes.workspace,    fakes.windowList, fakes.inputMonitors, files,
                      fakes.userDefaults, fakes.savePanel,  fakes.loginItems,    fakes.systemLog,
                      fakes.clock,        fakes.homeFolder};
};

TEST_F(RecorderFilesTest, ALogRenamedWhileRecordingIsStartedAgainAtItsPath) {
    Recorder recorder(platform);
    recorder.run();
    switchTo("Browser");
    std::filesystem::rename(logPath(), home / "Desktop/TESUKO/old.csv");
    switchTo("Editor");
    EXPECT_TRUE(loggedContaining("was moved or removed"));
    EXPECT_NE(readFile(logPath()).find(",Browser,News,"), std::string::npos);
    EXPECT_NE(readFile(home / "Desktop/TESUKO/old.csv").find(",Editor,Notes,"), std::string::npos);
}

TEST_F(RecorderFilesTest, ALogReplacedByAFolderIsReportedAndNothingCrashes) {
    Recorder recorder(platform);
    std::filesystem::remove(logPath());
    std::filesystem::create_directory(logPath());
    recorder.init();
    recorder.run();
    switchTo("Browser");
    EXPECT_TRUE(loggedContaining("Could not open the log " + logPath() + ": Is a directory"));
    EXPECT_TRUE(loggedContaining("Could not write a record to " + logPath()));
}

// A tiny file system of our own, to fill up and to make read-only.
class SmallDisk {
  public:
    explicit SmallDisk(std::string path) : path_(std::move(path)) {
        std::filesystem::create_directories(path_);
        mounted_ = ::mount("tmpfs", path_.c_str(), "tmpfs", 0, "size=16k,mode=0700") == 0;
    }
    ~SmallDisk() {
        if (mounted_) {
            ::umount2(path_.c_str(), MNT_DETACH);
        }
    }
    bool mounted() const { return mounted_; }

  private:
    std::string path_;
    bool mounted_ = false;
};

TEST_F(RecorderFilesTest, AFullDiskLeavesNoPartialRecordAndIsReported) {
    SmallDisk disk(home / "Desktop");
    if (!disk.mounted()) {
        GTEST_SKIP() << "mounting a tmpfs needs root (CI runs as root)";
    }
    Recorder recorder(platform);
    recorder.run();
    // Fill the disk up to a few bytes short of one record.
    std::string filler(16 * 1024, 'x');
    writeFile(home / "Desktop/filler", filler);
    auto free = 16 * 1024 - std::filesystem::file_size(home / "Desktop/filler");
    ASSERT_LT(free, 8192u);
    for (int i = 0; i < 200 && !loggedContaining("Could not write a record"); ++i) {
        switchTo(i % 2 ? "Editor" : "Browser");
    }
    ASSERT_TRUE(loggedContaining("Could not write a record to " + logPath()));
    std::string content = readFile(logPath());
    EXPECT_TRUE(content.empty() || content.back() == '\n') << "no partial record";
}

// The records while the folder is read-only are lost (each is reported), but
// from the first switch after it is writable again every record arrives.
TEST_F(RecorderFilesTest, RecordingRecoversOnceTheLogFolderIsWritableAgain) {
    Recorder recorder(platform);
    recorder.run();
    std::filesystem::remove(logPath());
    // A read-only view of the folder: the recorder's open log keeps the
    // folder's own file system from being remounted read-only.
    const std::string folder = home / "Desktop/TESUKO";
    if (::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0) {
        GTEST_SKIP() << "bind mounts need root (CI runs as root)";
    }
    ASSERT_EQ(::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr),
              0);
    for (int i = 0; i < 6; ++i) {
        switchTo(i % 2 ? "Editor" : "Browser");
    }
    EXPECT_TRUE(loggedContaining("Could not open the log " + logPath()));
    EXPECT_TRUE(recorder.writeProblem().has_value());

    ASSERT_EQ(::umount2(folder.c_str(), MNT_DETACH), 0);
    for (int i = 0; i < 4; ++i) {
        switchTo(i % 2 ? "Editor" : "Browser");
    }
    EXPECT_EQ(linesOf(readFile(logPath())).size(), 4u);
    EXPECT_EQ(recorder.writeProblem(), std::nullopt);
}

// Nothing at the log's path may hang recording or lead records elsewhere.
TEST_F(RecorderFilesTest, AFifoOrAPlantedLinkAtTheLogPathTakesNoRecord) {
    Recorder recorder(platform);
    recorder.run();
    std::filesystem::remove(logPath());
    ASSERT_EQ(::mkfifo(logPath().c_str(), 0600), 0);
    switchTo("Browser");  // would block in open() forever
    EXPECT_TRUE(loggedContaining("not a regular file"));

    std::filesystem::remove(logPath());
    writeFile(home / "victim", "");
    std::filesystem::create_symlink(home / "victim", logPath());
    switchTo("Editor");
    EXPECT_EQ(readFile(home / "victim"), "");
    EXPECT_TRUE(loggedContaining("Could not open the log " + logPath()));
}

TEST_F(RecorderFilesTest, ARecordNeverJoinsAnUnfinishedLastLine) {
    std::filesystem::create_directories(home / "Desktop/TESUKO");
    writeFile(logPath(), "cut short by a crash");
    Recorder recorder(platform);
    recorder.run();
    switchTo("Browser");
    std::vector<std::string> lines = linesOf(readFile(logPath()));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "cut short by a crash");
    EXPECT_NE(lines[1].find(",Editor,Notes,0,0,1.000000"), std::string::npos);
}

}  // namespace
}  // namespace tesuko
