// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <signal.h>

#include <initializer_list>
#include <map>
#include <vector>

#include "platform/posix/unique_fd.h"

namespace tesuko {

// Turns signals into bytes on a pipe, so that the main loop handles them like
// any other event instead of inside a signal handler. One at a time per process.
class SignalPipe {
  public:
    explicit SignalPipe(std::initializer_list<int> watched);
    // Gives the signals their previous handlers back.
    ~SignalPipe();
    SignalPipe(const SignalPipe&) = delete;
    SignalPipe& operator=(const SignalPipe&) = delete;

    // Readable while signals are waiting to be taken.
    int fd() const { return readEnd_.get(); }
    // The signals that arrived since the last call, in order of arrival.
    std::vector<int> take();

  private:
    UniqueFd readEnd_;
    UniqueFd writeEnd_;
    std::map<int, struct sigaction> previous_;
};

}  // namespace tesuko
