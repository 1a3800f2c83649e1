#include "platform/posix/posix_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/posix/unique_fd.h"

namespace tesuko {

namespace {

std::string reason(int error) {
    return std::strerror(error);
}

class PosixWriter : public FileWriter {
  public:
    explicit PosixWriter(UniqueFd fd) : fd_(std::move(fd)) {}

    // O_APPEND already puts every write at the end.
    void seekToEnd() override { ::lseek(fd_.get(), 0, SEEK_END); }

    // A signal can cut a write short; the rest follows. What fails midway is
    // taken back, since a partial record would corrupt the line after it.
    std::optional<std::string> write(std::string_view bytes) override {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t written = ::write(fd_.get(), bytes.data() + done, bytes.size() - done);
            if (written > 0) {
                done += std::size_t(written);
                continue;
            }
            if (written < 0 && errno == EINTR) {
                continue;
            }
            const std::string why = written < 0 ? reason(errno) : "nothing written, disk full?";
            takeBack(done);
            return why;
        }
        return std::nullopt;
    }

    bool stillAt(const std::string& path) override {
        struct stat open {};
        struct stat named {};
        return ::fstat(fd_.get(), &open) == 0 && ::stat(path.c_str(), &named) == 0 &&
               open.st_dev == named.st_dev && open.st_ino == named.st_ino;
    }

  private:
    void takeBack(std::size_t written) {
        struct stat info {};
        if (written > 0 && ::fstat(fd_.get(), &info) == 0 && info.st_size >= off_t(written)) {
            (void)::ftruncate(fd_.get(), info.st_size - off_t(written));
        }
    }

    UniqueFd fd_;
};

class PosixReader : public FileReader {
  public:
    explicit PosixReader(UniqueFd fd) : fd_(std::move(fd)) {}

    FileIdentity identity() override {
        struct stat info {};
        if (::fstat(fd_.get(), &info) != 0) {
            return {};
        }
        return FileIdentity{std::uint64_t(info.st_dev), std::uint64_t(info.st_ino),
                            std::uint64_t(info.st_size)};
    }

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

}  // namespace

bool PosixFileSystem::exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

bool PosixFileSystem::isDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool PosixFileSystem::createDirectories(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    std::size_t next = 0;
    while (next != std::string::npos) {
        next = path.find('/', next + 1);
        std::string prefix = path.substr(0, next);
        if (prefix.empty() || isDirectory(prefix)) {
            continue;
        }
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
    }
    return isDirectory(path);
}

bool PosixFileSystem::createEmptyFile(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    return bool(fd);
}

Opened<FileWriter> PosixFileSystem::openForWriting(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC));
    if (!fd) {
        return {nullptr, reason(errno)};
    }
    return {std::make_unique<PosixWriter>(std::move(fd)), {}};
}

Opened<FileReader> PosixFileSystem::openForReading(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) {
        return {nullptr, reason(errno)};
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) == 0 && S_ISDIR(info.st_mode)) {
        return {nullptr, reason(EISDIR)};
    }
    return {std::make_unique<PosixReader>(std::move(fd)), {}};
}

std::optional<std::string> PosixFileSystem::readAll(const std::string& path) {
    Opened<FileReader> opened = openForReading(path);
    if (!opened.file) {
        return std::nullopt;
    }
    std::string content;
    char buffer[1 << 16];
    std::uint64_t offset = 0;
    while (true) {
        auto got = opened.file->readAt(offset, buffer);
        if (!got) {
            return std::nullopt;
        }
        if (*got == 0) {
            return content;
        }
        content.append(buffer, *got);
        offset += *got;
    }
}

}  // namespace tesuko
