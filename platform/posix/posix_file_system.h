// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/file_system.h"

namespace tesuko {

// Real files. What the program creates is private to the user: folders 0700,
// files 0600, since the log holds window titles.
class PosixFileSystem : public FileSystem {
  public:
    bool exists(const std::string& path) override;
    bool isLink(const std::string& path) override;
    FileError createDirectories(const std::string& path) override;
    FileError createEmptyFile(const std::string& path) override;
    Opened<FileWriter> createForWriting(const std::string& path) override;
    Opened<FileWriter> openForWriting(const std::string& path, Links links) override;
    Opened<FileReader> openForReading(const std::string& path) override;
    FileContents readSmallFile(const std::string& path, std::size_t limit) override;
    FileError replaceFile(const std::string& path, std::string_view bytes, Access access) override;
    FileError removeFile(const std::string& path) override;
    std::optional<std::vector<std::string>> fileNames(const std::string& folder) override;
    FileError replaceFileKeepingAppends(const std::string& path, std::string_view bytes,
                                        std::uint64_t appendedFrom, Access access) override;
    void removeStaleTemporaries(const std::string& folder, std::chrono::seconds age) override;
};

}  // namespace tesuko
