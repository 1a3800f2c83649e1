// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>
#include <thread>

#include "platform/posix/posix_file_writer.h"
#include "platform/posix/unique_fd.h"

namespace tesuko {

namespace {

FileFault reason(int error) {
    return {FileFault::Cause::system, error};
}

const FileFault kNotRegular{FileFault::Cause::notRegular};

bool isDirectory(const std::string& path) {
    struct stat info = {};
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
    struct stat info = {};
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

// replaceFile's temporary files: ".tesuko-" and six characters of mkstemp.
constexpr std::string_view kTemporaryPrefix = ".tesuko-";

bool isTemporaryName(std::string_view name) {
    return name.size() == kTemporaryPrefix.size() + 6 && name.starts_with(kTemporaryPrefix) &&
           std::all_of(name.begin() + kTemporaryPrefix.size(), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

FileError writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return written < 0 ? reason(errno) : FileFault{FileFault::Cause::nothingWritten};
        }
        bytes.remove_prefix(std::size_t(written));
    }
    return std::nullopt;
}

// Copies what the file `from` holds past `offset` to the end of `to` until
// it grows no more; `offset` ends where it stopped.
FileError carryOver(int from, int to, std::uint64_t& offset) {
    std::string chunk(std::size_t(1) << 20, '\0');
    for (;;) {
        ssize_t got;
        do {
            got = ::pread(from, chunk.data(), chunk.size(), off_t(offset));
        } while (got < 0 && errno == EINTR);
        if (got < 0) {
            return reason(errno);
        }
        if (got == 0) {
            return std::nullopt;
        }
        if (FileError error = writeAll(to, std::string_view(chunk.data(), std::size_t(got)))) {
            return error;
        }
        offset += std::uint64_t(got);
    }
}

// Waits a moment for a program that holds the file's lock, never long: the
// caller is the main loop.
FileError lockExclusively(int fd) {
    for (int attempt = 0; ::flock(fd, LOCK_EX | LOCK_NB) != 0; ++attempt) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            return reason(errno);
        }
        if (attempt == 100) {
            return FileFault(FileFault::Cause::lockedByOther);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::nullopt;
}

// The new file of a replacement, in the target's folder so that renaming it
// over the target is atomic; removed unless it took the target's place. It
// appends, so that lines carried over after the rename land after those that
// others add to it.
class TemporaryBeside {
  public:
    explicit TemporaryBeside(const std::string& folder)
        : folder_(folder), name_(folder + "/" + std::string(kTemporaryPrefix) + "XXXXXX") {}
    ~TemporaryBeside() {
        if (fd_ && !committed_) {
            ::unlink(name_.c_str());
        }
    }
    TemporaryBeside(const TemporaryBeside&) = delete;
    TemporaryBeside& operator=(const TemporaryBeside&) = delete;

    int fd() const { return fd_.get(); }

    // Creates it with the bytes, private or as open as the file at `path`.
    FileError write(const std::string& path, std::string_view bytes, FileSystem::Access access) {
        fd_ = UniqueFd(::mkostemp(name_.data(), O_APPEND | O_CLOEXEC));
        if (!fd_) {
            return reason(errno);
        }
        struct stat old = {};
        const bool keep = access == FileSystem::Access::asBefore &&
                          ::lstat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode);
        if (::fchmod(fd_.get(), keep ? old.st_mode & 07777 : 0600) != 0) {
            return reason(errno);
        }
        return writeAll(fd_.get(), bytes);
    }

    // Syncs it and renames it over `path`, then syncs the folder: the rename
    // itself lasts only once the folder is on disk too.
    FileError commit(const std::string& path) {
        if (::fsync(fd_.get()) != 0 || ::rename(name_.c_str(), path.c_str()) != 0) {
            return reason(errno);
        }
        committed_ = true;
        UniqueFd directory(::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (directory) {
            ::fsync(directory.get());
        }
        return std::nullopt;
    }

  private:
    std::string folder_;
    std::string name_;
    UniqueFd fd_;
    bool committed_ = false;
};

}  // namespace

bool PosixFileSystem::exists(const std::string& path) {
    struct stat info = {};
    return ::stat(path.c_str(), &info) == 0;
}

bool PosixFileSystem::isLink(const std::string& path) {
    struct stat info = {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

FileError PosixFileSystem::createDirectories(const std::string& path) {
    if (path.empty() || path.front() != '/') {
        return FileFault(FileFault::Cause::relativePath);
    }
    std::size_t next = 0;
    while (next != std::string::npos) {
        next = path.find('/', next + 1);
        std::string prefix = path.substr(0, next);
        if (prefix.empty() || isDirectory(prefix)) {
            continue;
        }
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
            return FileFault(FileFault::Cause::system, errno, 0, prefix);
        }
    }
    if (!isDirectory(path)) {
        return FileFault{FileFault::Cause::notAFolder};
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
    struct stat info = {};
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
        return {std::nullopt, {FileFault::Cause::tooLarge, 0, limit}};
    }
    bytes.resize(filled);
    return {std::move(bytes), {}};
}

// A private temporary file beside the target, synced and renamed over it:
// rename replaces a link at the path instead of writing through it.
FileError PosixFileSystem::replaceFile(const std::string& path, std::string_view bytes,
                                       Access access) {
    const std::string folder = parentFolder(path);
    if (FileError error = createDirectories(folder)) {
        return error;
    }
    TemporaryBeside temporary(folder);
    if (FileError error = temporary.write(path, bytes, access)) {
        return error;
    }
    return temporary.commit(path);
}

// The old file stays open until the new one is in place and a little after,
// and what it grew by meanwhile goes over. Programs that lock the log
// (flock) before they open it for a line wait for the rewrite and then
// find the new file.
FileError PosixFileSystem::replaceFileKeepingAppends(const std::string& path,
                                                     std::string_view bytes,
                                                     std::uint64_t appendedFrom, Access access) {
    if (!exists(path)) {
        return replaceFile(path, bytes, access);
    }
    Opened<UniqueFd> old = openRegular(path, O_RDONLY | O_NOFOLLOW);
    if (!old.file) {
        return old.error;
    }
    if (FileError error = lockExclusively(old.file->get())) {
        return error;
    }
    TemporaryBeside temporary(parentFolder(path));
    if (FileError error = temporary.write(path, bytes, access)) {
        return error;
    }
    if (FileError error = carryOver(old.file->get(), temporary.fd(), appendedFrom)) {
        return error;
    }
    if (FileError error = temporary.commit(path)) {
        return error;
    }
    // Lines written to the old file between the last look and the rename;
    // the new file is in place whatever comes of this.
    if (!carryOver(old.file->get(), temporary.fd(), appendedFrom)) {
        ::fsync(temporary.fd());
    }
    return std::nullopt;
}

void PosixFileSystem::removeStaleTemporaries(const std::string& folder, std::chrono::seconds age) {
    std::unique_ptr<DIR, int (*)(DIR*)> entries(::opendir(folder.c_str()), ::closedir);
    if (!entries) {
        return;
    }
    const std::int64_t before = std::int64_t(::time(nullptr)) - age.count();
    while (const dirent* entry = ::readdir(entries.get())) {
        struct stat info = {};
        if (isTemporaryName(entry->d_name) &&
            ::fstatat(::dirfd(entries.get()), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_uid == ::getuid() && info.st_mtime < before) {
            ::unlinkat(::dirfd(entries.get()), entry->d_name, 0);
        }
    }
}

std::optional<std::vector<std::string>> PosixFileSystem::fileNames(const std::string& folder) {
    std::unique_ptr<DIR, int (*)(DIR*)> entries(::opendir(folder.c_str()), ::closedir);
    if (!entries) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(entries.get())) {
        struct stat info = {};
        if (::fstatat(::dirfd(entries.get()), entry->d_name, &info, 0) == 0 &&
            S_ISREG(info.st_mode)) {
            names.emplace_back(entry->d_name);
        }
    }
    std::ranges::sort(names);
    return names;
}

FileError PosixFileSystem::removeFile(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        return reason(errno);
    }
    return std::nullopt;
}

}  // namespace tesuko
