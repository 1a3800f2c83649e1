#pragma once

#include "platform/file_system.h"

namespace tesuko {

// Real files. What the program creates is private to the user: folders 0700,
// the log 0600, since the log holds window titles.
class PosixFileSystem : public FileSystem {
  public:
    bool exists(const std::string& path) override;
    bool isDirectory(const std::string& path) override;
    bool createDirectories(const std::string& path) override;
    bool createEmptyFile(const std::string& path) override;
    Opened<FileWriter> openForWriting(const std::string& path) override;
    Opened<FileReader> openForReading(const std::string& path) override;
    std::optional<std::string> readAll(const std::string& path) override;
};

}  // namespace tesuko
