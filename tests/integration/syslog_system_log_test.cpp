#include "platform/posix/syslog_system_log.h"

#include <gtest/gtest.h>

#include "tests/integration/xdg_scoped_env.h"

namespace tesuko {
namespace {

// Traces carry titles and names: they go out only when the user asks.
TEST(SyslogSystemLog, WritesTracesOnlyWithTesukoDebug) {
    struct Case {
        std::optional<std::string> debug;
        std::string expected;
    } cases[] = {
        {std::nullopt, "tesuko: failure\n"},
        {"0", "tesuko: failure\n"},
        {"1", "tesuko: failure\ntesuko: log:Secret plan\n"},
    };
    for (const Case& c : cases) {
        ScopedEnv env;
        c.debug ? env.set("TESUKO_DEBUG", *c.debug) : env.unset("TESUKO_DEBUG");
        testing::internal::CaptureStderr();
        {
            SyslogSystemLog log;
            log.error("failure");
            log.trace("log:Secret plan");
        }
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.expected) << c.debug.value_or("unset");
    }
}

}  // namespace
}  // namespace tesuko
