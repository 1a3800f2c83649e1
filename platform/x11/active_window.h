#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tesuko {

// The window in front, as known when it became active.
struct ActiveWindow {
    std::uint32_t window = 0;                // 0 while no window is active
    std::optional<std::string> application;  // WM_CLASS class, else the process name
    std::optional<std::uint32_t> pid;
    std::optional<std::string> title;  // may have changed since
};

// The user-info text of the notification that `from`'s application stopped
// being active because `to` became active:
//
//   deactivated <window> pid <pid> activated <window> pid <pid> x11.class.<class>
//
// Windows are "0x" and eight hex digits, pids decimal or "-" when unknown, so
// the first eight tokens never hold text from a window. The ninth ends, after
// its last ".", with the deactivated application's name as its windows are
// listed, spaces written as "_" to keep it one token. (A class that holds "."
// itself, such as "org.example.Viewer", leaves only its last piece there; its
// windows still match through the held application name.)
std::string deactivationUserInfo(const ActiveWindow& from, const ActiveWindow& to);

}  // namespace tesuko
