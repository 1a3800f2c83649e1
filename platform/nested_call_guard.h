// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tesuko {

// Marks a call as in progress for as long as this lives. A handler that runs
// a nested main loop calls a backend's processEvents() again from inside; the
// mark tells the inner call to leave the settling to the outer one.
class NestedCallGuard {
  public:
    explicit NestedCallGuard(bool& inProgress) : inProgress_(inProgress) { inProgress_ = true; }
    ~NestedCallGuard() { inProgress_ = false; }
    NestedCallGuard(const NestedCallGuard&) = delete;
    NestedCallGuard& operator=(const NestedCallGuard&) = delete;

  private:
    bool& inProgress_;
};

}  // namespace tesuko
