// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace tesuko {

struct SavePanelResult {
    static constexpr long kCancelled = 0;
    static constexpr long kConfirmed = 1;

    long result = kCancelled;
    // After a confirmation: the chosen file as file URL text,
    // "file://" and the absolute path with upper-case percent escapes.
    std::string fileUrl;
};

class SavePanel {
  public:
    virtual ~SavePanel() = default;

    // Shows a modal save dialog and blocks until the user closes it.
    virtual SavePanelResult runModal(const std::vector<std::string>& allowedFileTypes) = 0;
};

}  // namespace tesuko
