// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/posix_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/posix/posix_file_writer.h"
#include "platform/posix/unique_fd.h"

namespace tesuko {

namespace {

std::string reason(int error) {
    return std::strerror(error);
}

const char* const kNotRegular = "not a regular file (a FIFO, a device or a socket?)";

bool isDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string parentFolder(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

// Writers open read-write, so that they can tell whether the last line ended.
// Opening never waits: O_NONBLOCK keeps a FIFO from blocking open() until a
// peer appears, and anything but a regular file is refused before it is used.
Opened<UniqueFd> openRegular(const std::string& path, int flags, mode_t mode = 0) {
    UniqueFd fd(::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, mode));
    if (!fd) {
        // A FIFO opened for writing without a reader says ENXIO.
        return {nullptr, errno == ENXIO ? kNotRegular : reason(errno)};
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        return {nullptr, reason(errno)};
    }
    if (S_ISDIR(info.st_mode)) {
        return {nullptr, reason(EISDIR)};
    }
    if (!S_ISREG(info.st_mode)) {
        return {nullptr, kNotRegular};
    }
    int status = ::fcntl(fd.get(), F_GETFL);
    if (status < 0 || ::fcntl(fd.get(), F_SETFL, status & ~O_NONBLOCK) != 0) {
        return {nullptr, reason(errno)};
    }
    return {std::make_unique<UniqueFd>(std::move(fd)), {}};
}

class PosixReader : public FileReader {
  public:
    explicit PosixReader(UniqueFd fd) : fd_(std::move(fd)) {}

    FileIdentity identity() override { return identityOf(fd_.get()); }

    std::optional<std::size_t> readAt(std::uint64_t offset, std::span<char> into) override {
        ssize_t got;
        do {
            got = ::pread(fd_.get(), into.data(), into.size(), off_t(offset));
        } while (got < 0 && errno == EINTR);
        if (got < 0) {
            return std::nullopt;
        }
        return std::size_t(got);
    }

  private:
    UniqueFd fd_;
};

FileError writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return written < 0 ? reason(errno) : "nothing written, disk full?";
        }
        bytes.remove_prefix(std::size_t(written));
    }
    return std::nullopt;
}

}  // namespace

bool PosixFileSystem::exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

bool PosixFileSystem::isLink(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

FileError PosixFileSystem::createDirectories(const std::string& path) {
    if (path.empty() || path.front() != '/') {
        return "not an absolute path";
    }
    std::size_t next = 0;
    while (next != std::string::npos) {
        next = path.find('/', next + 1);
        std::string prefix = path.substr(0, next);
        if (prefix.empty() || isDirectory(prefix)) {
            continue;
        }
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
            return reason(errno) + " (" + prefix + ")";
        }
    }
    if (!isDirectory(path)) {
        return "something other than a folder is there";
    }
    return std::nullopt;
}

FileError PosixFileSystem::createEmptyFile(const std::string& path) {
    Opened<FileWriter> created = createForWriting(path);
    return created.file ? std::nullopt : FileError(created.error);
}

Opened<FileWriter> PosixFileSystem::createForWriting(const std::string& path) {
    Opened<UniqueFd> fd =
        openRegular(path, O_RDWR | O_APPEND | O_CREAT | O_EXCL | O_NOFOLLOW, 0600);
    if (!fd.file) {
        return {nullptr, fd.error};
    }
    return {std::make_unique<PosixFileWriter>(std::move(*fd.file)), {}};
}

Opened<FileWriter> PosixFileSystem::openForWriting(const std::string& path, Links links) {
    Opened<UniqueFd> fd =
        openRegular(path, O_RDWR | O_APPEND | (links == Links::refuse ? O_NOFOLLOW : 0));
    if (!fd.file) {
        return {nullptr, fd.error};
    }
    return {std::make_unique<PosixFileWriter>(std::move(*fd.file)), {}};
}

Opened<FileReader> PosixFileSystem::openForReading(const std::string& path) {
    Opened<UniqueFd> fd = openRegular(path, O_RDONLY);
    if (!fd.file) {
        return {nullptr, fd.error};
    }
    return {std::make_unique<PosixReader>(std::move(*fd.file)), {}};
}

FileContents PosixFileSystem::readSmallFile(const std::string& path, std::size_t limit) {
    Opened<UniqueFd> fd = openRegular(path, O_RDONLY);
    if (!fd.file) {
        return {std::nullopt, fd.error};
    }
    // One byte more than the limit tells a file that is too large, whatever
    // its size said (it may grow while read).
    struct stat info {};
    ::fstat(fd.file->get(), &info);
    std::string bytes(std::min(std::size_t(std::max<off_t>(info.st_size, 0)), limit) + 1, '\0');
    std::size_t filled = 0;
    while (filled <= limit) {
        if (filled == bytes.size()) {
            bytes.resize(std::min(bytes.size() * 2, limit + 1));
        }
        ssize_t got = ::read(fd.file->get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return {std::nullopt, reason(errno)};
        }
        if (got == 0) {
            break;
        }
        filled += std::size_t(got);
    }
    if (filled > limit) {
        return {std::nullopt, "larger than " + std::to_string(limit) + " bytes"};
    }
    bytes.resize(filled);
    return {std::move(bytes), {}};
}

// A private temporary file beside the target, synced and renamed over it:
// rename replaces a link at the path instead of writing through it.
FileError PosixFileSystem::replaceFile(const std::string& path, std::string_view bytes,
                                       Access access) {
    std::string folder = parentFolder(path);
    if (FileError error = createDirectories(folder)) {
        return error;
    }
    std::string temporary = folder + "/.tesuko-XXXXXX";
    UniqueFd fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!fd) {
        return reason(errno);
    }
    struct stat old {};
    const bool keep =
        access == Access::asBefore && ::lstat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    const mode_t mode = keep ? old.st_mode & 07777 : 0600;
    FileError error;
    if (::fchmod(fd.get(), mode) != 0) {
        error = reason(errno);
    }
    if (!error) {
        error = writeAll(fd.get(), bytes);
    }
    if (!error && (::fsync(fd.get()) != 0 || ::rename(temporary.c_str(), path.c_str()) != 0)) {
        error = reason(errno);
    }
    if (error) {
        ::unlink(temporary.c_str());
        return error;
    }
    // The rename itself lasts only once the folder is on disk too.
    UniqueFd directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory) {
        ::fsync(directory.get());
    }
    return std::nullopt;
}

FileError PosixFileSystem::removeFile(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        return reason(errno);
    }
    return std::nullopt;
}

}  // namespace tesuko
