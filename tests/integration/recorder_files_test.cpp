// The recorder against real files: what the disk and the user do to the log
// while tesuko runs must never cost a record silently.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <chrono>
#include <filesystem>

#include "platform/fake/fake_platform.h"
#include "platform/posix/posix_file_system.h"
#include "recorder/recorder.h"
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
    bool makeReadOnly() {
        return ::mount("tmpfs", path_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=16k") == 0;
    }

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

TEST_F(RecorderFilesTest, AReadOnlyLogFolderIsReported) {
    SmallDisk disk(home / "Desktop");
    if (!disk.mounted()) {
        GTEST_SKIP() << "mounting a tmpfs needs root (CI runs as root)";
    }
    ASSERT_TRUE(disk.makeReadOnly());
    Recorder recorder(platform);
    EXPECT_FALSE(recorder.hasLogWriter());
    EXPECT_TRUE(loggedContaining("Could not open the log " + logPath()));
}

}  // namespace
}  // namespace tesuko
