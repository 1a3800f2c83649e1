#include "platform/x11/activation_tracker.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace tesuko {
namespace {

ActiveWindow window(std::uint32_t id, std::optional<std::string> application,
                    std::optional<std::uint32_t> pid = std::nullopt) {
    return ActiveWindow{id, std::move(application), pid, std::nullopt};
}

std::vector<std::string> tokensOf(const std::string& text) {
    std::vector<std::string> tokens;
    std::size_t start = 0;
    while (true) {
        std::size_t space = text.find(' ', start);
        tokens.push_back(text.substr(start, space - start));
        if (space == std::string::npos) {
            return tokens;
        }
        start = space + 1;
    }
}

// What the recorder cuts from the user info: the ninth token after its last ".".
std::string shortIdentifier(const std::string& userInfo) {
    std::string token = tokensOf(userInfo).at(8);
    return token.substr(token.rfind('.') + 1);
}

TEST(ActivationTracker, NotifiesOncePerChangeOfApplication) {
    struct Step {
        ActiveWindow next;
        bool notifies;
        bool withUserInfo;
    };
    ActivationTracker tracker(window(1, "Editor"));
    const std::vector<Step> steps{
        {window(1, "Editor"), false, false},    // the same window again
        {window(2, "Editor"), false, false},    // another window of the same application
        {window(3, "Browser"), true, true},     // a switch
        {window(0, std::nullopt), true, true},  // to no window at all
        {window(0, std::nullopt), false, false},
        {window(4, std::nullopt), false, false},  // a window without application is none too
        {window(3, "Browser"), true, false},      // from nothing: no application was left
    };
    for (std::size_t i = 0; i < steps.size(); ++i) {
        std::optional<DeactivationNotification> notification = tracker.update(steps[i].next);
        EXPECT_EQ(notification.has_value(), steps[i].notifies) << "step " << i;
        if (notification) {
            EXPECT_EQ(notification->userInfo.has_value(), steps[i].withUserInfo) << "step " << i;
        }
        EXPECT_EQ(tracker.current().window, steps[i].next.window) << "step " << i;
    }
}

TEST(ActivationTracker, UserInfoNamesTheDeactivatedApplicationInItsNinthToken) {
    struct Case {
        std::optional<std::string> application;
        std::string shortName;
    };
    const std::vector<Case> cases{
        {"XTerm", "XTerm"},
        {"Two Words  here", "Two_Words__here"},
        {"org.example.Viewer", "Viewer"},
        {"", ""},
    };
    for (const Case& c : cases) {
        ActiveWindow from = window(0x1a00007, c.application, 4242);
        std::string userInfo = deactivationUserInfo(from, window(0x2c, "Next"));
        EXPECT_EQ(tokensOf(userInfo).size(), 9u) << userInfo;
        EXPECT_EQ(shortIdentifier(userInfo), c.shortName) << userInfo;
    }
    EXPECT_EQ(deactivationUserInfo(window(0x1a00007, "XTerm", 4242), window(0x2c, "Next")),
              "deactivated 0x01a00007 pid 4242 activated 0x0000002c pid - x11.class.XTerm");
}

TEST(ActivationTracker, TheFirstWindowIsNoSwitchAndTheNextAppIsCurrentAfterward) {
    ActivationTracker tracker;
    EXPECT_EQ(tracker.current().application, std::nullopt);
    std::optional<DeactivationNotification> first = tracker.update(window(5, "Editor", 10));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->userInfo, std::nullopt);
    std::optional<DeactivationNotification> second = tracker.update(window(6, "Mail", 11));
    ASSERT_TRUE(second && second->userInfo);
    EXPECT_EQ(*second->userInfo,
              "deactivated 0x00000005 pid 10 activated 0x00000006 pid 11 x11.class.Editor");
    EXPECT_EQ(tracker.current().application, "Mail");
}

}  // namespace
}  // namespace tesuko
