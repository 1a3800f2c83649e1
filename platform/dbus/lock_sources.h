// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <bitset>
#include <cstddef>
#include <optional>

namespace tesuko {

// Who may say that the screen is locked. logind's Lock and Unlock signals and
// its LockedHint are one source, whichever spoke last: a locker unlocked with
// the password clears LockedHint, and logind sends no Unlock for that.
enum class LockSource { logind, sessionInactive, screenSaver, gnomeScreenSaver, count };

// How a source's state arrived. The answer to asking for it can be delivered
// after a signal that the source sent later, and then it is stale; not so an
// answer that the asker knows no signal overtook.
enum class Told { bySignal, byAnswer, byFreshAnswer };

// The screen counts as locked while any source says so.
class LockSources {
  public:
    // The merged state, when this changed it.
    std::optional<bool> set(LockSource source, bool locked, Told how) {
        const auto index = static_cast<std::size_t>(source);
        if (how == Told::byAnswer && signalled_.test(index)) {
            return std::nullopt;
        }
        signalled_.set(index, signalled_.test(index) || how != Told::byAnswer);
        const bool before = locked_.any();
        locked_.set(index, locked);
        if (locked_.any() == before) {
            return std::nullopt;
        }
        return !before;
    }
    bool locked() const { return locked_.any(); }

  private:
    using Bits = std::bitset<static_cast<std::size_t>(LockSource::count)>;
    Bits locked_;
    Bits signalled_;
};

}  // namespace tesuko
