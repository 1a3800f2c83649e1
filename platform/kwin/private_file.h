// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace tesuko {

struct WrittenPrivateFile;

// A file of ours only the user may read, removed when this goes.
class PrivateFile {
  public:
    // A new file in `folder` named `stem`, a random part and `suffix`.
    static WrittenPrivateFile write(FileSystem& files, const std::string& folder,
                                    std::string_view stem, std::string_view suffix,
                                    std::string_view text);

    ~PrivateFile();
    PrivateFile(PrivateFile&& other) noexcept;
    PrivateFile& operator=(PrivateFile&&) = delete;
    PrivateFile(const PrivateFile&) = delete;
    PrivateFile& operator=(const PrivateFile&) = delete;

    const std::string& path() const { return path_; }

  private:
    PrivateFile(FileSystem& files, std::string path) : files_(files), path_(std::move(path)) {}

    FileSystem& files_;
    std::string path_;  // empty once moved from
};

struct WrittenPrivateFile {
    std::optional<PrivateFile> file;
    std::string error;  // why it could not be written
};

}  // namespace tesuko
