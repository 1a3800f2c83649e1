#pragma once

#include "platform/system_log.h"

namespace tesuko {

// syslog with the identity "tesuko" (journald keeps the lines), and stderr.
class SyslogSystemLog : public SystemLog {
  public:
    SyslogSystemLog();
    ~SyslogSystemLog() override;
    SyslogSystemLog(const SyslogSystemLog&) = delete;
    SyslogSystemLog& operator=(const SyslogSystemLog&) = delete;

    void line(std::string_view text) override;
};

}  // namespace tesuko
