#include <gtest/gtest.h>
#include <poll.h>

#include <csignal>
#include <stdexcept>
#include <vector>

#include "platform/posix/signal_pipe.h"

namespace tesuko {
namespace {

bool readable(int fd) {
    pollfd watched{fd, POLLIN, 0};
    return ::poll(&watched, 1, 0) == 1;
}

volatile sig_atomic_t gEarlierHandlerRan = 0;
void earlierHandler(int) {
    gEarlierHandlerRan = 1;
}

TEST(SignalPipeTest, SignalsWaitOnThePipeInOrderOfArrival) {
    SignalPipe pipe{SIGTERM, SIGINT, SIGHUP};
    EXPECT_FALSE(readable(pipe.fd()));
    ::raise(SIGTERM);
    ::raise(SIGHUP);
    ::raise(SIGINT);
    EXPECT_TRUE(readable(pipe.fd()));
    EXPECT_EQ(pipe.take(), (std::vector<int>{SIGTERM, SIGHUP, SIGINT}));
    EXPECT_FALSE(readable(pipe.fd()));
    EXPECT_TRUE(pipe.take().empty());
}

TEST(SignalPipeTest, TheEarlierHandlersComeBackAndOnlyOnePipeExists) {
    struct sigaction earlier {};
    earlier.sa_handler = earlierHandler;
    sigemptyset(&earlier.sa_mask);
    struct sigaction original {};
    ::sigaction(SIGHUP, &earlier, &original);
    {
        SignalPipe pipe{SIGHUP};
        EXPECT_THROW(SignalPipe{SIGINT}, std::logic_error);
        ::raise(SIGHUP);
        EXPECT_EQ(gEarlierHandlerRan, 0);
        EXPECT_EQ(pipe.take(), std::vector<int>{SIGHUP});
    }
    ::raise(SIGHUP);
    EXPECT_EQ(gEarlierHandlerRan, 1);
    ::sigaction(SIGHUP, &original, nullptr);

    SignalPipe again{SIGINT};  // the slot is free once the first pipe is gone
    ::raise(SIGINT);
    EXPECT_EQ(again.take(), std::vector<int>{SIGINT});
}

}  // namespace
}  // namespace tesuko
