// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/syslog_system_log.h"

#include <syslog.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace tesuko {

namespace {

int syslogPriority(SystemLog::Priority priority) {
    switch (priority) {
        case SystemLog::Priority::error:
            return LOG_ERR;
        case SystemLog::Priority::warning:
            return LOG_WARNING;
        case SystemLog::Priority::info:
            return LOG_INFO;
        case SystemLog::Priority::trace:
            return LOG_DEBUG;
    }
    return LOG_INFO;
}

}  // namespace

SyslogSystemLog::SyslogSystemLog() {
    const char* debug = std::getenv("TESUKO_DEBUG");
    tracing_ = debug != nullptr && std::strcmp(debug, "1") == 0;
    ::openlog("tesuko", LOG_PID, LOG_USER);
}

SyslogSystemLog::~SyslogSystemLog() {
    ::closelog();
}

void SyslogSystemLog::write(Priority priority, std::string_view text) {
    if (priority == Priority::trace && !tracing_) {
        return;
    }
    // One line each, whatever a window title held.
    std::string oneLine(text);
    for (char& c : oneLine) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    ::syslog(syslogPriority(priority), "%s", oneLine.c_str());
    std::fprintf(stderr, "tesuko: %s\n", oneLine.c_str());
}

}  // namespace tesuko
