#pragma once

#include <bitset>
#include <cstddef>
#include <optional>

namespace tesuko {

// Who may say that the screen is locked. logind's Lock and Unlock signals and
// its LockedHint are one source, whichever spoke last: a locker unlocked with
// the password clears LockedHint, and logind sends no Unlock for that.
enum class LockSource { logind, sessionInactive, screenSaver, gnomeScreenSaver, count };

// The screen counts as locked while any source says so.
class LockSources {
  public:
    // The merged state, when this changed it.
    std::optional<bool> set(LockSource source, bool locked) {
        const bool before = locked_.any();
        locked_.set(static_cast<std::size_t>(source), locked);
        if (locked_.any() == before) {
            return std::nullopt;
        }
        return !before;
    }
    bool locked() const { return locked_.any(); }

  private:
    std::bitset<static_cast<std::size_t>(LockSource::count)> locked_;
};

}  // namespace tesuko
