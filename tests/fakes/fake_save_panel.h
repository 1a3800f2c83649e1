// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/save_panel.h"

namespace tesuko {

class FakeSavePanel : public SavePanel {
  public:
    std::optional<std::string> runFolderModal() override { return runModal({}); }
    std::optional<std::string> runModal(const std::vector<std::string>&) override {
        ++runs;
        if (answers.empty()) {
            return std::nullopt;
        }
        std::string answer = answers.front();
        answers.pop_front();
        return answer;
    }

    void confirm(std::string path) { answers.push_back(std::move(path)); }

    std::deque<std::string> answers;
    int runs = 0;
};

}  // namespace tesuko
