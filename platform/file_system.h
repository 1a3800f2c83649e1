#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tesuko {

// An open log file. Every write lands at the end of the file.
class FileWriter {
  public:
    virtual ~FileWriter() = default;

    virtual void seekToEnd() = 0;
    // Writes all bytes in one call; the reason when that failed or fell short.
    virtual std::optional<std::string> write(std::string_view bytes) = 0;
    // False once the path names another file or nothing: the log was moved or removed.
    virtual bool stillAt(const std::string& path) = 0;
};

// Which file a reader has open: enough to notice a replaced or shrunk file.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;

    bool sameFile(const FileIdentity& other) const {
        return device == other.device && inode == other.inode;
    }
};

class FileReader {
  public:
    virtual ~FileReader() = default;

    virtual FileIdentity identity() = 0;
    // Reads up to into.size() bytes at offset; 0 at the end, nullopt on error.
    virtual std::optional<std::size_t> readAt(std::uint64_t offset, std::span<char> into) = 0;
};

template <typename T>
struct Opened {
    std::unique_ptr<T> file;  // null when it could not be opened
    std::string error;        // why not, for the system log
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // True when anything, file or folder, is at the path.
    virtual bool exists(const std::string& path) = 0;
    virtual bool isDirectory(const std::string& path) = 0;
    // Creates the folder and every missing one above it, private to the user.
    // An existing folder counts as success.
    virtual bool createDirectories(const std::string& path) = 0;
    // Creates an empty file, private to the user; never replaces anything.
    virtual bool createEmptyFile(const std::string& path) = 0;
    // Opens an existing file for appending without truncating it.
    virtual Opened<FileWriter> openForWriting(const std::string& path) = 0;
    virtual Opened<FileReader> openForReading(const std::string& path) = 0;
    // The whole file, or nullopt when it cannot be read.
    virtual std::optional<std::string> readAll(const std::string& path) = 0;
};

}  // namespace tesuko
