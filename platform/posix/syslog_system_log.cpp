#include "platform/posix/syslog_system_log.h"

#include <syslog.h>

#include <cstdio>
#include <string>

namespace tesuko {

SyslogSystemLog::SyslogSystemLog() {
    ::openlog("tesuko", LOG_PID, LOG_USER);
}

SyslogSystemLog::~SyslogSystemLog() {
    ::closelog();
}

void SyslogSystemLog::line(std::string_view text) {
    // One line each, whatever a window title held.
    std::string oneLine(text);
    for (char& c : oneLine) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    ::syslog(LOG_NOTICE, "%s", oneLine.c_str());
    std::fprintf(stderr, "tesuko: %s\n", oneLine.c_str());
}

}  // namespace tesuko
