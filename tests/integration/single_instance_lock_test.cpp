#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/posix/instance_lock.h"
#include "tests/integration/temp_dir.h"
#include "tests/integration/xdg_scoped_env.h"

namespace tesuko {
namespace {

using Status = InstanceLock::Status;

TEST(SingleInstanceLockTest, OneHolderAtATimeAndFreeAgainAfterIt) {
    TempDir tmp;
    const std::string path = tmp / "tesuko.lock";
    {
        InstanceLock first(path);
        ASSERT_EQ(first.status(), Status::Acquired) << first.error();
        EXPECT_EQ(readFile(path), std::to_string(::getpid()) + "\n");
        EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
                  std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

        InstanceLock second(path);
        EXPECT_EQ(second.status(), Status::HeldByAnother);
    }
    InstanceLock afterwards(path);
    EXPECT_EQ(afterwards.status(), Status::Acquired);
}

TEST(SingleInstanceLockTest, TheLockOfAKilledHolderIsTakenOver) {
    TempDir tmp;
    const std::string path = tmp / "tesuko.lock";
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        InstanceLock lock(path);
        char status = lock.status() == Status::Acquired ? 'y' : 'n';
        [[maybe_unused]] ssize_t written = ::write(ready[1], &status, 1);
        ::pause();  // until killed
        ::_exit(0);
    }
    ::close(ready[1]);
    char status = 0;
    ASSERT_EQ(::read(ready[0], &status, 1), 1);
    ::close(ready[0]);
    ASSERT_EQ(status, 'y');
    EXPECT_EQ(InstanceLock(path).status(), Status::HeldByAnother);

    ::kill(holder, SIGKILL);
    ASSERT_EQ(::waitpid(holder, nullptr, 0), holder);
    InstanceLock taken(path);
    EXPECT_EQ(taken.status(), Status::Acquired);
    EXPECT_EQ(readFile(path), std::to_string(::getpid()) + "\n") << "the dead holder's pid is gone";
}

TEST(SingleInstanceLockTest, APlaceWhereNoLockCanBeSaysWhy) {
    TempDir tmp;
    std::filesystem::create_symlink(tmp / "elsewhere", tmp / "link.lock");
    const struct {
        std::string path;
        const char* because;
    } cases[] = {
        {tmp / "missing/tesuko.lock", "No such file or directory"},
        {tmp / "link.lock", "Too many levels of symbolic links"},
    };
    for (const auto& c : cases) {
        InstanceLock lock(c.path);
        EXPECT_EQ(lock.status(), Status::Failed) << c.path;
        EXPECT_NE(lock.error().find(c.path), std::string::npos) << lock.error();
        EXPECT_NE(lock.error().find(c.because), std::string::npos) << lock.error();
    }
    EXPECT_FALSE(std::filesystem::exists(tmp / "elsewhere")) << "the link was not followed";
}

TEST(SingleInstanceLockTest, LivesInTheRuntimeFolderOfTheUser) {
    ScopedEnv env;
    env.set("XDG_RUNTIME_DIR", "/run/user/1234");
    EXPECT_EQ(InstanceLock::defaultPath(), "/run/user/1234/tesuko.lock");
    const std::string fallback = "/tmp/tesuko-" + std::to_string(::getuid()) + ".lock";
    env.set("XDG_RUNTIME_DIR", "relative/dir");
    EXPECT_EQ(InstanceLock::defaultPath(), fallback);
    env.unset("XDG_RUNTIME_DIR");
    EXPECT_EQ(InstanceLock::defaultPath(), fallback);
}

}  // namespace
}  // namespace tesuko
