// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/save_panel.h"

namespace tesuko {

class FakeSavePanel : public SavePanel {
  public:
    SavePanelResult runModal(const std::vector<std::string>&) override {
        ++runs;
        if (answers.empty()) {
            return {};
        }
        SavePanelResult answer = answers.front();
        answers.pop_front();
        return answer;
    }

    void confirm(std::string fileUrl) {
        answers.push_back({SavePanelResult::kConfirmed, std::move(fileUrl)});
    }

    std::deque<SavePanelResult> answers;
    int runs = 0;
};

}  // namespace tesuko
