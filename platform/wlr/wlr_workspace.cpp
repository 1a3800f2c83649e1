// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wlr/wlr_workspace.h"

#include <utility>

namespace tesuko {

namespace {

std::optional<Application> named(const std::optional<std::string>& name) {
    if (!name) {
        return std::nullopt;
    }
    return Application{*name, std::nullopt};
}

}  // namespace

void WlrWorkspace::update(std::optional<std::string> application, std::optional<TimePoint> when) {
    if (application == current_) {
        return;
    }
    ApplicationSwitch change{named(current_), named(application), when};
    current_ = std::move(application);
    if (handler_) {
        // A copy: the handler may unsubscribe while it runs.
        SwitchHandler handler = handler_;
        handler(change);
    }
}

}  // namespace tesuko
