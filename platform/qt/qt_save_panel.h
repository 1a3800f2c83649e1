// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <optional>
#include <string>
#include <vector>

#include "platform/save_panel.h"

namespace tesuko {

// A modal Qt save dialog, showing only files of the allowed types.
class QtSavePanel : public SavePanel {
  public:
    std::optional<std::string> runModal(const std::vector<std::string>& allowedFileTypes) override;
    std::optional<std::string> runFolderModal() override;
};

// Name filters for the allowed types: "csv" and "'CSV'" (a quoted type code)
// both become patterns, "*.csv *.CSV".
QStringList saveDialogNameFilters(const std::vector<std::string>& allowedFileTypes);

}  // namespace tesuko
