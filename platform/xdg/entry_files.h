#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tesuko {

// The content of a regular file of at most maxBytes, or nothing. Never blocks
// on a FIFO or device that happens to carry an entry's name.
std::optional<std::string> readSmallFile(const std::string& path, std::size_t maxBytes);

// True when anything, even a dangling symbolic link, is at the path.
bool somethingAt(const std::string& path);

// Creates the folder and the missing ones above it, private to the user (0700).
// The reason when it is not a folder afterwards.
std::optional<std::string> createPrivateFolders(const std::string& folder);

// Writes the file under a temporary name in the same folder, flushes it to disk
// and renames it into place, so readers see the old file or the whole new one.
// On failure nothing is left behind and the reason is returned.
std::optional<std::string> writeFileAtomically(const std::string& folder, const std::string& name,
                                               std::string_view content);

}  // namespace tesuko
