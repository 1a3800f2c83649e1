// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>
#include <string>

#include "platform/file_system.h"
#include "platform/status_menu.h"

namespace tesuko {

// The tray's tooltip: the status in the user's language (the system's own
// words for a problem stay as they came), then the log's path when known.
QString toolTipText(const Status& status, const std::optional<std::string>& logPath);
// A file operation's fault in the user's language.
QString faultInWords(const FileFault& fault);
// The desktop's notice as the tooltip words it in English, for the system log.
std::string noticeInEnglish(const DesktopNotice& notice);

}  // namespace tesuko
