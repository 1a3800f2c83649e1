// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>

#include "platform/clock.h"
#include "platform/file_system.h"

namespace tesuko {

// A run of the recorder's own writes to its log with nothing else changing
// the file in between: a reader that counted the file as it stood at any
// point of the run may take what was added since as records, not an edit.
struct OwnAppends {
    FileIdentity from;  // as the file stood when the run began
    FileIdentity to;    // as the last write left it
    // Notes when each write was made, by its steady clock; none, no notes.
    Clock* clock = nullptr;

    // One record written, where it lies in the file and when it was written.
    struct Write {
        std::uint64_t begin = 0;
        std::uint64_t end = 0;
        std::chrono::steady_clock::time_point at;
    };
    // This run's records in the file as it stands, oldest first: Forget tells
    // by them what was written in its last minutes, whatever the wall clock
    // did meanwhile. Only the last ones are kept.
    std::deque<Write> writes;
    static constexpr std::size_t kWritesKept = 512;

    // Extends the run by a write that took the file from `before` to `after`;
    // a write that finds the file changed by another begins a new run.
    void add(const FileIdentity& before, const FileIdentity& after) {
        if (before != to) {
            from = before;
            // Another program's appends move none of our bytes; anything else may.
            if (!before.sameFile(to) || before.size < to.size) {
                writes.clear();
            }
        }
        to = after;
        if (clock && after.sameFile(before) && after.size > before.size) {
            if (writes.size() == kWritesKept) {
                writes.pop_front();
            }
            writes.push_back({before.size, after.size, clock->monotonicNow()});
        }
    }
};

}  // namespace tesuko
