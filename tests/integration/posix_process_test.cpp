// SPDX-License-Identifier: GPL-3.0-or-later
// What the program takes from its process and session: signals and the lock
// that keeps it single.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "platform/posix/instance_lock.h"
#include "platform/posix/signal_pipe.h"
#include "support/temp_dir.h"

namespace tesuko {
namespace {

bool readable(int fd) {
    pollfd watched{fd, POLLIN, 0};
    return ::poll(&watched, 1, 0) == 1;
}

volatile sig_atomic_t gEarlierHandlerRan = 0;

// Signals wait on the pipe in order of arrival while it exists; the handlers
// from before come back after it.
TEST(SignalPipeTest, TakesSignalsInOrderAndGivesBackTheEarlierHandlers) {
    gEarlierHandlerRan = 0;
    struct sigaction earlier = {};
    earlier.sa_handler = [](int) { gEarlierHandlerRan = 1; };
    struct sigaction original = {};
    ::sigaction(SIGHUP, &earlier, &original);
    {
        SignalPipe pipe{SIGTERM, SIGHUP};
        EXPECT_THROW(SignalPipe{SIGINT}, std::logic_error) << "only one pipe exists";
        EXPECT_FALSE(readable(pipe.fd()));
        ::raise(SIGHUP);
        ::raise(SIGTERM);
        EXPECT_TRUE(readable(pipe.fd()));
        EXPECT_EQ(pipe.take(), (std::vector<int>{SIGHUP, SIGTERM}));
        EXPECT_FALSE(readable(pipe.fd()));
        EXPECT_EQ(gEarlierHandlerRan, 0);
    }
    ::raise(SIGHUP);
    EXPECT_EQ(gEarlierHandlerRan, 1);
    ::sigaction(SIGHUP, &original, nullptr);
    SignalPipe again{SIGINT};  // the slot is free once the first pipe is gone
    ::raise(SIGINT);
    EXPECT_EQ(again.take(), std::vector<int>{SIGINT});
}

TEST(SingleInstanceLockTest, OneHolderAtATimeAndTheLockOfAKilledHolderIsTakenOver) {
    using Status = InstanceLock::Status;
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
    char status = 0;
    ASSERT_EQ(::read(ready[0], &status, 1), 1);
    ASSERT_EQ(status, 'y');
    EXPECT_EQ(InstanceLock(path).status(), Status::HeldByAnother);
    ::kill(holder, SIGKILL);
    ASSERT_EQ(::waitpid(holder, nullptr, 0), holder);
    {
        InstanceLock taken(path);
        EXPECT_EQ(taken.status(), Status::Acquired);
        EXPECT_EQ(readFile(path), std::to_string(::getpid()) + "\n") << "the dead holder's pid";
        EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
                  std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    }
    EXPECT_EQ(InstanceLock(path).status(), Status::Acquired) << "free once its holder is gone";
    ::close(ready[0]);
    ::close(ready[1]);
}

// --quit asks the holder of the lock to quit and waits until it let go. A
// lock file that names another process than its holder gets no one killed.
TEST(SingleInstanceLockTest, TheHolderIsAskedToQuitAndWaitedFor) {
    using Quit = InstanceLock::Quit;
    enum class Holder { none, quitsOnTerm, ignoresTerm, namesABystander };
    const std::pair<Holder, Quit> cases[] = {{Holder::none, Quit::notRunning},
                                             {Holder::quitsOnTerm, Quit::quit},
                                             {Holder::ignoresTerm, Quit::stillRunning},
                                             {Holder::namesABystander, Quit::failed}};
    for (const auto& [kind, expected] : cases) {
        TempDir tmp;
        const std::string path = tmp / "tesuko.lock";
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t bystander = ::fork();
        if (bystander == 0) {
            ::pause();
            ::_exit(0);
        }
        pid_t holder = kind == Holder::none ? 0 : ::fork();
        ASSERT_GE(holder, 0);
        if (holder == 0 && kind != Holder::none) {
            if (kind == Holder::ignoresTerm) {
                ::signal(SIGTERM, SIG_IGN);
            }
            InstanceLock lock(path);
            if (kind == Holder::namesABystander) {
                writeFile(path, std::to_string(bystander) + "\n");
            }
            [[maybe_unused]] ssize_t written = ::write(ready[1], "y", 1);
            ::pause();
            ::_exit(0);
        }
        char status = 0;
        if (kind != Holder::none) {
            ASSERT_EQ(::read(ready[0], &status, 1), 1);
        }
        EXPECT_EQ(InstanceLock::askHolderToQuit(path, std::chrono::milliseconds(300)).result,
                  expected);
        EXPECT_EQ(::waitpid(bystander, nullptr, WNOHANG), 0) << "the bystander is alive";
        for (const pid_t child : {holder, bystander}) {
            if (child > 0) {
                ::kill(child, SIGKILL);
                ASSERT_EQ(::waitpid(child, nullptr, 0), child);
            }
        }
        ::close(ready[0]);
        ::close(ready[1]);
    }
}

}  // namespace
}  // namespace tesuko
