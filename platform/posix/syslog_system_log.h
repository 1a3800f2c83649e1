// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/system_log.h"

namespace tesuko {

// syslog with the identity "tesuko" (journald keeps the lines), and stderr.
// Traces go out only when TESUKO_DEBUG=1.
class SyslogSystemLog : public SystemLog {
  public:
    SyslogSystemLog();
    ~SyslogSystemLog() override;
    SyslogSystemLog(const SyslogSystemLog&) = delete;
    SyslogSystemLog& operator=(const SyslogSystemLog&) = delete;

    void write(Priority priority, std::string_view text) override;

  private:
    bool tracing_;
};

}  // namespace tesuko
