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
    bool isDirectory(const std::string& path) override;
    bool createDirectories(const std::string& path) override;
    bool createEmptyFile(const std::string& path) override;
    Opened<FileWriter> openForWriting(const std::string& path) override;
    Opened<FileReader> openForReading(const std::string& path) override;
    std::optional<std::string> readAll(const std::string& path) override;

    // Control side.
    void addFile(const std::string& path, std::string content);
    // Changes the bytes of an existing file in place: it stays the same file.
    void rewrite(const std::string& path, std::string content);
    void remove(const std::string& path);  // a file, or a folder and everything in it
    std::string content(const std::string& path) const;
    void makeReadOnly(const std::string& folder) { readOnly.insert(normalise(folder)); }

    std::set<std::string> readOnly;           // folders in which nothing can be created
    std::optional<std::string> writeFailure;  // every write fails with this reason
    int writeCalls = 0;

  private:
    friend class FakeWriter;
    friend class FakeReader;

    static std::string normalise(const std::string& path);
    static std::string parentOf(const std::string& path);

    std::map<std::string, std::string> files_;
    std::set<std::string> folders_;
    std::map<std::string, std::uint64_t> inodes_;
    std::uint64_t nextInode_ = 1;
};

}  // namespace tesuko
