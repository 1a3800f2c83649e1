// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/file_system.h"
#include "platform/posix/unique_fd.h"

namespace tesuko {

// How the file open at fd stands; all zeros when fstat fails.
FileIdentity identityOf(int fd);

// An open log file, written with O_APPEND.
class PosixFileWriter : public FileWriter {
  public:
    explicit PosixFileWriter(UniqueFd fd) : fd_(std::move(fd)) {}

    std::optional<char> lastByte() override;
    FileError write(std::string_view bytes) override;
    bool stillAt(const std::string& path) override;
    FileIdentity identity() override { return identityOf(fd_.get()); }

  private:
    void takeBack(std::size_t written);

    UniqueFd fd_;
};

}  // namespace tesuko
