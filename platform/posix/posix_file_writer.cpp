// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/posix_file_writer.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace tesuko {

FileIdentity identityOf(int fd) {
    struct stat info = {};
    if (::fstat(fd, &info) != 0) {
        return {};
    }
    auto nanoseconds = [](const timespec& t) {
        return std::int64_t(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
    };
    return FileIdentity{std::uint64_t(info.st_dev), std::uint64_t(info.st_ino),
                        std::uint64_t(info.st_size), nanoseconds(info.st_mtim),
                        nanoseconds(info.st_ctim)};
}

std::optional<char> PosixFileWriter::lastByte() {
    struct stat info = {};
    char last = 0;
    if (::fstat(fd_.get(), &info) != 0 || info.st_size == 0 ||
        ::pread(fd_.get(), &last, 1, info.st_size - 1) != 1) {
        return std::nullopt;
    }
    return last;
}

// A signal can cut a write short; the rest follows. What fails midway is
// taken back, since a partial record would corrupt the line after it.
FileError PosixFileWriter::write(std::string_view bytes) {
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
        const FileFault why = written < 0 ? FileFault{FileFault::Cause::system, errno}
                                          : FileFault{FileFault::Cause::nothingWritten};
        takeBack(done);
        return why;
    }
    return std::nullopt;
}

bool PosixFileWriter::stillAt(const std::string& path) {
    struct stat open = {};
    struct stat named = {};
    return ::fstat(fd_.get(), &open) == 0 && ::stat(path.c_str(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

void PosixFileWriter::takeBack(std::size_t written) {
    struct stat info = {};
    if (written > 0 && ::fstat(fd_.get(), &info) == 0 && info.st_size >= off_t(written)) {
        // Should this fail as well, the next opening of the log ends the partial line.
        [[maybe_unused]] const bool undone =
            ::ftruncate(fd_.get(), info.st_size - off_t(written)) == 0;
    }
}

}  // namespace tesuko
