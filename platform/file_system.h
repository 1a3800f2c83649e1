// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace tesuko {

// Why a file operation failed: the system's error number, or a refusal of
// the program's own.
struct FileFault {
    enum class Cause {
        system,
        notRegular,
        nothingWritten,
        tooLarge,
        notAFolder,
        lockedByOther,
        relativePath
    };

    FileFault() = default;
    FileFault(Cause why, int number = 0, std::uint64_t bytes = 0, std::string folder = {})
        : cause(why), errorNumber(number), limit(bytes), at(std::move(folder)) {}

    Cause cause = Cause::system;
    int errorNumber = 0;      // errno, with Cause::system
    std::uint64_t limit = 0;  // in bytes, with Cause::tooLarge
    std::string at;           // the folder on the way that failed, if not the path itself

    bool operator==(const FileFault&) const = default;
};

// The fault in English, for the system log.
inline std::string faultText(const FileFault& fault) {
    using Cause = FileFault::Cause;
    const std::string text =
        fault.cause == Cause::notRegular ? "not a regular file (a FIFO, a device or a socket?)"
        : fault.cause == Cause::nothingWritten ? "nothing written, disk full?"
        : fault.cause == Cause::tooLarge   ? "larger than " + std::to_string(fault.limit) + " bytes"
        : fault.cause == Cause::notAFolder ? "something other than a folder is there"
        : fault.cause == Cause::lockedByOther ? "another program holds the file's lock"
        : fault.cause == Cause::relativePath  ? "not an absolute path"
                                              : std::generic_category().message(fault.errorNumber);
    return fault.at.empty() ? text : text + " (" + fault.at + ")";
}

// nullopt when the operation worked.
using FileError = std::optional<FileFault>;

// Which file is open, and how it stands: enough to notice a replaced, shrunk
// or rewritten file.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    // Modification and status change times, in nanoseconds since the epoch:
    // an edit in place changes them even when it keeps the size.
    std::int64_t modified = 0;
    std::int64_t changed = 0;

    bool sameFile(const FileIdentity& other) const {
        return device == other.device && inode == other.inode;
    }
    bool operator==(const FileIdentity&) const = default;
};

// An open log file. Every write lands at the end of the file.
class FileWriter {
  public:
    virtual ~FileWriter() = default;

    // The last byte of the file, or nullopt when it is empty or cannot be read.
    virtual std::optional<char> lastByte() = 0;
    // Writes all bytes in one call; the reason when that failed or fell short.
    [[nodiscard]] virtual FileError write(std::string_view bytes) = 0;
    // False once the path names another file or nothing: the log was moved or removed.
    virtual bool stillAt(const std::string& path) = 0;
    // How the open file stands now; all zeros when that cannot be told.
    virtual FileIdentity identity() = 0;
};

class FileReader {
  public:
    virtual ~FileReader() = default;

    virtual FileIdentity identity() = 0;
    // Reads up to into.size() bytes at offset; 0 at the end, nullopt on error.
    virtual std::optional<std::size_t> readAt(std::uint64_t offset, std::span<char> into) = 0;
};

// Fills `into` from offset on; false on an error or when the file ends first.
inline bool readFully(FileReader& reader, std::uint64_t offset, std::span<char> into) {
    while (!into.empty()) {
        auto got = reader.readAt(offset, into);
        if (!got || *got == 0) {
            return false;
        }
        offset += *got;
        into = into.subspan(*got);
    }
    return true;
}

template <typename T>
struct Opened {
    std::unique_ptr<T> file;  // null when it could not be opened
    FileFault error;          // why not
};

// A small file read whole.
struct FileContents {
    std::optional<std::string> bytes;  // nullopt when it could not be read
    FileFault error;                   // why not
};

// Files never block the caller: a FIFO, a device or a folder where a file is
// expected is refused with a reason, not waited on.
class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // True when anything, file or folder, is at the path.
    virtual bool exists(const std::string& path) = 0;
    // True when the path itself is a symbolic link.
    virtual bool isLink(const std::string& path) = 0;
    // Creates the folder and every missing one above it, private to the user.
    // An existing folder counts as success.
    [[nodiscard]] virtual FileError createDirectories(const std::string& path) = 0;
    // Creates an empty private file; never replaces anything, never follows a link.
    [[nodiscard]] virtual FileError createEmptyFile(const std::string& path) = 0;
    // Creates a new private file and opens it for appending; like
    // createEmptyFile, never a link or a file that is already there.
    [[nodiscard]] virtual Opened<FileWriter> createForWriting(const std::string& path) = 0;
    // Whether opening follows a symbolic link at the path itself.
    enum class Links { follow, refuse };
    // Opens an existing regular file for appending without truncating it.
    [[nodiscard]] virtual Opened<FileWriter> openForWriting(const std::string& path,
                                                            Links links) = 0;
    [[nodiscard]] virtual Opened<FileReader> openForReading(const std::string& path) = 0;
    // A regular file of at most `limit` bytes, whole.
    [[nodiscard]] virtual FileContents readSmallFile(const std::string& path,
                                                     std::size_t limit) = 0;
    // Who may read a replaced file: the user alone, or whom the old one let.
    enum class Access { privateToUser, asBefore };
    // Replaces the file by a new one holding bytes (private when there was
    // none): a crash leaves the old file or the new one, never a part. Never
    // writes through a link.
    [[nodiscard]] virtual FileError replaceFile(const std::string& path, std::string_view bytes,
                                                Access access) = 0;
    // Removing a file that is not there is success.
    [[nodiscard]] virtual FileError removeFile(const std::string& path) = 0;
    // The names of the regular files in a folder, sorted; nullopt when it
    // cannot be read.
    virtual std::optional<std::vector<std::string>> fileNames(const std::string& folder) = 0;

    // replaceFile for a file that other programs may append to meanwhile:
    // what the old file holds from `appendedFrom` on when the new one takes
    // its place follows `bytes` in the new one, and so does what reaches the
    // old one just after. A writer that keeps the old file open and writes
    // to it later writes to a file no longer at the path.
    [[nodiscard]] virtual FileError replaceFileKeepingAppends(const std::string& path,
                                                              std::string_view bytes,
                                                              std::uint64_t appendedFrom,
                                                              Access access) {
        FileContents now = readSmallFile(path, SIZE_MAX - 1);
        if (!now.bytes) {
            return now.error;
        }
        std::string whole(bytes);
        whole += std::string_view(*now.bytes)
                     .substr(std::min<std::size_t>(appendedFrom, now.bytes->size()));
        return replaceFile(path, whole, access);
    }
    // Removes the temporary files replaceFile left in `folder` when the
    // program was killed while writing one, once they are older than `age`
    // (a younger one may be another run's, still being written). Files
    // that live in memory leave none: nothing to do.
    virtual void removeStaleTemporaries(const std::string& /*folder*/,
                                        std::chrono::seconds /*age*/) {}
};

}  // namespace tesuko
