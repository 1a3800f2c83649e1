// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/file_system.h"

namespace tesuko {

// A run of the recorder's own writes to its log with nothing else changing
// the file in between: a reader that counted the file as it stood at any
// point of the run may take what was added since as records, not an edit.
struct OwnAppends {
    FileIdentity from;  // as the file stood when the run began
    FileIdentity to;    // as the last write left it

    // Extends the run by a write that took the file from `before` to `after`;
    // a write that finds the file changed by another begins a new run.
    void add(const FileIdentity& before, const FileIdentity& after) {
        if (before != to) {
            from = before;
        }
        to = after;
    }
};

}  // namespace tesuko
