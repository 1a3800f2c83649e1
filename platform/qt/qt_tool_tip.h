// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>
#include <string>

namespace tesuko {

// The tray's tooltip: the controller's words, line by line, in the user's
// language where a line is one the program knows (a problem's own words,
// from the system, stay as they came), then the log's path when known.
QString toolTipText(const std::string& words, const std::optional<std::string>& logPath);

}  // namespace tesuko
