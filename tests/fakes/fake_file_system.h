// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "log/own_appends.h"
#include "platform/file_system.h"

namespace tesuko {

// Files and folders in memory, with faults to inject. Paths are absolute;
// repeated and trailing "/" do not matter.
class FakeFileSystem : public FileSystem {
  public:
    bool exists(const std::string& path) override { return nodes_.contains(normalise(path)); }
    bool isLink(const std::string&) override { return false; }  // links are not modelled
    FileError createDirectories(const std::string& path) override;
    FileError createEmptyFile(const std::string& path) override;
    Opened<FileWriter> createForWriting(const std::string& path) override;
    Opened<FileWriter> openForWriting(const std::string& path, Links) override;
    Opened<FileReader> openForReading(const std::string& path) override;
    FileContents readSmallFile(const std::string& path, std::size_t limit) override;
    FileError replaceFile(const std::string& path, std::string_view bytes, Access) override;
    FileError removeFile(const std::string& path) override;
    std::optional<std::vector<std::string>> fileNames(const std::string& folder) override;

    // Control side.
    void addFile(const std::string& path, std::string content);  // a new file, in new folders
    // Changes the bytes of an existing file in place: it stays the same file.
    void rewrite(const std::string& path, std::string content);
    // Adds to the end of a file as the recorder does, which vouches for it.
    void append(const std::string& path, std::string_view bytes, OwnAppends& own);
    void remove(const std::string& path);  // a file, or a folder and everything in it
    std::string content(const std::string& path) const;
    bool isDirectory(const std::string& path) const;
    // Nothing can be created in the folder, or removed from it.
    void makeReadOnly(const std::string& folder) { readOnly_.insert(normalise(folder)); }

    FileError writeFailure;  // every write fails with this reason
    int writeCalls = 0;

    struct Node {
        bool folder = false;
        std::string bytes;
        std::uint64_t inode = 0;
        std::int64_t modified = 0;  // on a counter that every change advances
    };
    static std::string normalise(const std::string& path);
    // The regular file at a normalised path, or why there is none.
    Node* regular(const std::string& path, FileFault* why = nullptr);
    void touch(Node& node) { node.modified = ++changes_; }
    static FileIdentity identityOf(const Node* file) {
        return file ? FileIdentity{1, file->inode, file->bytes.size(), file->modified,
                                   file->modified}
                    : FileIdentity{1, 0, 0, 0, 0};
    }

  private:
    FileError make(const std::string& path, bool folder, std::string bytes);

    std::map<std::string, Node> nodes_{{"/", Node{true, {}, 0, 0}}};
    std::set<std::string> readOnly_;
    std::int64_t changes_ = 0;
};

}  // namespace tesuko
