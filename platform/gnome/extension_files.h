// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "platform/file_system.h"

namespace tesuko {

// The oldest Shell tesuko's extension is made for.
inline constexpr int kOldestShell = 43;

// tesuko ships its Shell extension in two forms, under
// <prefix>/share/tesuko/gnome-shell-extension/: shell-43 (the imports form,
// for Shell 43 and 44) and shell-45 (ES modules, for 45 and later).

// The folder of the form made for this Shell version, searched next to the
// program (<prefix>/bin/../share) and then in the XDG data folders; none
// when it is not there or the Shell is older than 43.
std::optional<std::filesystem::path> shippedExtension(int shellMajorVersion);

// The newest Shell version the form's metadata.json lists; none when it
// cannot be read.
std::optional<int> newestListedShell(const std::filesystem::path& form);

// Where the Shell looks for the user's own copy:
// $XDG_DATA_HOME/gnome-shell/extensions/<uuid>; none without a home folder.
std::optional<std::filesystem::path> userExtensionFolder();

struct CopiedExtension {
    bool changed = false;  // a file was written
    std::string error;     // empty when the copy is complete
};

// Makes the files in `to` the same as those in `from`, writing only those
// that differ, each replacing the old one whole.
CopiedExtension copyExtension(FileSystem& files, const std::filesystem::path& from,
                              const std::filesystem::path& to);

}  // namespace tesuko
