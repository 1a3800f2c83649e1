// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace tesuko {

// Diagnostics: single free-form lines with a priority. Lines that carry a
// window title, an application name or a record are traces: the system log is
// readable by more people than the activity log, so those lines go out only
// when the user asks for them.
class SystemLog {
  public:
    enum class Priority { error, warning, info, trace };

    virtual ~SystemLog() = default;

    virtual void write(Priority priority, std::string_view text) = 0;

    void error(std::string_view text) { write(Priority::error, text); }
    void warning(std::string_view text) { write(Priority::warning, text); }
    void info(std::string_view text) { write(Priority::info, text); }
    void trace(std::string_view text) { write(Priority::trace, text); }
};

}  // namespace tesuko
