// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/signal_pipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <stdexcept>

namespace tesuko {

namespace {

// The handler can reach nothing but globals; -1 while no pipe exists.
volatile sig_atomic_t gWriteEnd = -1;

void forwardSignal(int signal) {
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    // A full pipe already holds enough to wake the loop; dropping the byte is fine.
    [[maybe_unused]] ssize_t written = ::write(gWriteEnd, &byte, 1);
    errno = savedErrno;
}

}  // namespace

SignalPipe::SignalPipe(std::initializer_list<int> watched) {
    if (gWriteEnd != -1) {
        throw std::logic_error("only one SignalPipe may exist at a time");
    }
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        throw std::runtime_error("cannot create the signal pipe");
    }
    readEnd_.reset(ends[0]);
    writeEnd_.reset(ends[1]);
    gWriteEnd = writeEnd_.get();

    struct sigaction action = {};
    action.sa_handler = forwardSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int signal : watched) {
        struct sigaction old = {};
        ::sigaction(signal, &action, &old);
        previous_.emplace(signal, old);
    }
}

SignalPipe::~SignalPipe() {
    for (const auto& [signal, old] : previous_) {
        ::sigaction(signal, &old, nullptr);
    }
    gWriteEnd = -1;
}

std::vector<int> SignalPipe::take() {
    std::vector<int> arrived;
    std::array<unsigned char, 64> bytes{};
    ssize_t count = 0;
    while ((count = ::read(readEnd_.get(), bytes.data(), bytes.size())) > 0) {
        arrived.insert(arrived.end(), bytes.begin(), bytes.begin() + count);
    }
    return arrived;
}

}  // namespace tesuko
