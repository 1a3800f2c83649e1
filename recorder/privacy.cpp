// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/recorder.h"
#include "settings/privacy_setting.h"

namespace tesuko {

void Recorder::loadPrivacy() {
    privacy_ = PrivacyRules(PrivacySetting(platform_.userDefaults, platform_.systemLog).lists());
    for (const std::string& why : privacy_.refused()) {
        platform_.systemLog.warning("A private title pattern is not used: " + why);
    }
}

std::optional<std::string> Recorder::tracked(std::optional<std::string> application) const {
    if (application && privacy_.untracked(*application)) {
        return std::nullopt;
    }
    return application;
}

void Recorder::reloadPrivacy() {
    loadPrivacy();
    if (state_ != State::recording) {
        return;
    }
    std::optional<std::string> front = tracked(platform_.workspace.activeApplication());
    if (front != deactiveJapanAppName_) {
        endInterval(now(), std::move(front));
    }
}

}  // namespace tesuko
