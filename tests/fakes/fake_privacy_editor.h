// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/privacy_editor.h"

namespace tesuko {

// The user's side of "Privacy…": save() is the Save button.
class FakePrivacyEditor : public PrivacyEditor {
  public:
    void edit(const PrivacyLists&, Saved saved) override { save = std::move(saved); }

    Saved save = [](const PrivacyLists&) {};
};

}  // namespace tesuko
