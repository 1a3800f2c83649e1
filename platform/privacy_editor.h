// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include "platform/privacy_lists.h"

namespace tesuko {

// Lets the user edit the privacy lists ("Privacy…").
class PrivacyEditor {
  public:
    using Saved = std::function<void(const PrivacyLists&)>;

    virtual ~PrivacyEditor() = default;

    // Shows the lists without waiting for the user; `saved` runs with what
    // the user saved, and not at all when the user cancels. Patterns that
    // cannot be used are refused before that, with the reason. Asking again
    // while it is shown brings it to the front with the new lists.
    virtual void edit(const PrivacyLists& lists, Saved saved) = 0;
};

// Where there is nobody to ask: never saves.
class NoPrivacyEditor : public PrivacyEditor {
  public:
    void edit(const PrivacyLists&, Saved) override {}
};

inline PrivacyEditor& noPrivacyEditor() {
    static NoPrivacyEditor none;
    return none;
}

}  // namespace tesuko
