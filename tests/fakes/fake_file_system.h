#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>

#include "platform/file_system.h"

namespace tesuko {

// Files and folders in memory, with faults to inject. Paths are absolute and
// normalised ("/a/b", no trailing "/" except on the root).
class FakeFileSystem : public FileSystem {
  public:
    FakeFileSystem();

    bool exists(const std::string& path) override;
    FileError createDirectories(const std::string& path) override;
    FileError createEmptyFile(const std::string& path) override;
    Opened<FileWriter> createForWriting(const std::string& path) override;
    Opened<FileWriter> openForWriting(const std::string& path, Links links) override;
    Opened<FileReader> openForReading(const std::string& path) override;
    FileContents readSmallFile(const std::string& path, std::size_t limit) override;
    FileError replaceFile(const std::string& path, std::string_view bytes) override;
    FileError removeFile(const std::string& path) override;

    // Control side.
    void addFile(const std::string& path, std::string content);
    // Changes the bytes of an existing file in place: it stays the same file.
    void rewrite(const std::string& path, std::string content);
    void remove(const std::string& path);  // a file, or a folder and everything in it
    std::string content(const std::string& path) const;
    void makeReadOnly(const std::string& folder) { readOnly.insert(normalise(folder)); }
    void makeWritable(const std::string& folder) { readOnly.erase(normalise(folder)); }
    bool isDirectory(const std::string& path) const { return folders_.contains(normalise(path)); }
    // Something that is no regular file (a FIFO, say): opening it is refused.
    void addSpecialFile(const std::string& path) { special_.insert(normalise(path)); }

    std::set<std::string> readOnly;           // folders in which nothing can be created
    std::optional<std::string> writeFailure;  // every write fails with this reason
    int writeCalls = 0;
    std::uint64_t bytesRead = 0;  // by every reader
    bool failReads = false;       // every read fails

  private:
    friend class FakeWriter;
    friend class FakeReader;

    static std::string normalise(const std::string& path);
    static std::string parentOf(const std::string& path);
    std::optional<std::string> whyNotRegular(const std::string& path) const;

    std::map<std::string, std::string> files_;
    std::set<std::string> special_;
    // A file's last change, on a counter that every change advances.
    std::map<std::string, std::int64_t> modified_;
    std::int64_t changes_ = 0;
    void touch(const std::string& path) { modified_[path] = ++changes_; }
    std::set<std::string> folders_;
    std::map<std::string, std::uint64_t> inodes_;
    std::uint64_t nextInode_ = 1;
};

}  // namespace tesuko
