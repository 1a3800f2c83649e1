// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/kwin/private_file.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/posix/unique_fd.h"

namespace tesuko {

namespace {

bool writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace

WrittenPrivateFile PrivateFile::write(const std::string& folder, std::string_view stem,
                                      std::string_view suffix, std::string_view text) {
    std::string name = folder + "/" + std::string(stem) + "-XXXXXX" + std::string(suffix);
    std::vector<char> path(name.begin(), name.end());
    path.push_back('\0');
    // Mode 0600, and never through a link or over a file already there.
    UniqueFd fd(::mkostemps(path.data(), static_cast<int>(suffix.size()), O_CLOEXEC));
    if (!fd) {
        return {std::nullopt, "could not create a file in " + folder + ": " + std::strerror(errno)};
    }
    PrivateFile file(path.data());
    if (!writeAll(fd.get(), text)) {
        return {std::nullopt, "could not write " + file.path() + ": " + std::strerror(errno)};
    }
    return {std::move(file), ""};
}

PrivateFile::PrivateFile(PrivateFile&& other) noexcept
    : path_(std::exchange(other.path_, std::string())) {}

PrivateFile::~PrivateFile() {
    if (!path_.empty()) {
        ::unlink(path_.c_str());
    }
}

}  // namespace tesuko
