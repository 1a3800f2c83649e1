#include "platform/x11/server_clock.h"

#include <gtest/gtest.h>

#include <vector>

namespace tesuko {
namespace {

using std::chrono::milliseconds;

TEST(ServerClock, PlacesStampsByTheirPromptestReceipt) {
    struct Event {
        xcb_timestamp_t stamp;
        int receivedMs;
        int expectedMs;
    };
    const std::vector<std::pair<const char*, std::vector<Event>>> cases{
        {"a late receipt moves nothing",
         {{1000, 2, 2}, {2000, 1002 + 4300, 1002}, {3000, 2003, 2002}}},
        {"a prompter receipt sharpens the offset", {{1000, 50, 50}, {2000, 1003, 1003}}},
        {"across the wrap-around",
         {{0xffffff00u, 10, 10}, {0x00000010u, 10 + 0x110 + 4000, 10 + 0x110}}},
        {"a server clock ahead of ours is never later than the receipt",
         {{1000, 10, 10}, {2000, 900, 900}, {2100, 1500, 1000}}},
        {"a server clock that went back is learnt afresh",
         {{5000, 10, 10}, {1000, 20, 20}, {2000, 1020 + 500, 1020}}},
    };
    const ServerClock::Instant origin = ServerClock::Instant{} + std::chrono::hours(1);
    for (const auto& [name, events] : cases) {
        ServerClock clock;
        ServerClock::Instant previous = origin;
        for (const Event& e : events) {
            ServerClock::Instant at =
                clock.happenedAt(e.stamp, origin + milliseconds(e.receivedMs));
            EXPECT_EQ(at, origin + milliseconds(e.expectedMs)) << name << ", stamp " << e.stamp;
            EXPECT_GE(at, previous) << name << ": went back";
            previous = at;
        }
    }
}

}  // namespace
}  // namespace tesuko
