// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tesuko {

class SavePanel {
  public:
    virtual ~SavePanel() = default;

    // Shows a modal save dialog and blocks until the user closes it: the
    // chosen file's absolute path, or nullopt when the user cancelled.
    virtual std::optional<std::string> runModal(
        const std::vector<std::string>& allowedFileTypes) = 0;
    // The same for a folder.
    virtual std::optional<std::string> runFolderModal() = 0;
};

}  // namespace tesuko
