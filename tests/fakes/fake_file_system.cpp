#include "tests/fakes/fake_file_system.h"

#include <algorithm>
#include <cstring>

namespace tesuko {

// Like an open file, both follow the path, not the file first opened.
class FakeWriter : public FileWriter {
  public:
    FakeWriter(FakeFileSystem& fs, std::string path)
        : fs_(fs), path_(std::move(path)), inode_(fs.nodes_[path_].inode) {}

    std::optional<char> lastByte() override {
        std::string bytes = fs_.content(path_);
        return bytes.empty() ? std::nullopt : std::optional<char>(bytes.back());
    }
    FileError write(std::string_view bytes) override {
        ++fs_.writeCalls;
        std::string why;
        FakeFileSystem::Node* file = fs_.regular(path_, why);
        if (fs_.writeFailure || !file) {
            return fs_.writeFailure ? *fs_.writeFailure : why;
        }
        file->bytes.append(bytes);
        fs_.touch(*file);
        return std::nullopt;
    }
    bool stillAt(const std::string& path) override {
        auto node = fs_.nodes_.find(FakeFileSystem::normalise(path));
        return node != fs_.nodes_.end() && node->second.inode == inode_;
    }

  private:
    FakeFileSystem& fs_;
    std::string path_;
    std::uint64_t inode_;
};

class FakeReader : public FileReader {
  public:
    FakeReader(FakeFileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}

    FileIdentity identity() override {
        auto node = fs_.nodes_.find(path_);
        if (node == fs_.nodes_.end()) {
            return {1, 0, 0, 0, 0};
        }
        const FakeFileSystem::Node& file = node->second;
        return {1, file.inode, file.bytes.size(), file.modified, file.modified};
    }
    std::optional<std::size_t> readAt(std::uint64_t offset, std::span<char> into) override {
        std::string why;
        FakeFileSystem::Node* file = fs_.regular(path_, why);
        if (!file) {
            return std::nullopt;
        }
        std::size_t count = offset >= file->bytes.size()
                                ? 0
                                : std::min<std::size_t>(into.size(), file->bytes.size() - offset);
        std::memcpy(into.data(), file->bytes.data() + offset, count);
        fs_.bytesRead += count;
        return count;
    }

  private:
    FakeFileSystem& fs_;
    std::string path_;
};

std::string FakeFileSystem::normalise(const std::string& path) {
    std::string result;
    for (char c : path) {
        if (c != '/' || result.empty() || result.back() != '/') {
            result += c;
        }
    }
    if (result.size() > 1 && result.back() == '/') {
        result.pop_back();
    }
    return result;
}

std::string FakeFileSystem::parentOf(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

void FakeFileSystem::make(const std::string& path, Kind kind, std::string bytes) {
    Node& node = nodes_[path] = Node{kind, std::move(bytes), ++inodes_, 0};
    touch(node);
}

FakeFileSystem::Node* FakeFileSystem::regular(const std::string& path, std::string& why) {
    auto node = nodes_.find(path);
    if (node == nodes_.end()) {
        why = "No such file or directory";
    } else if (node->second.kind == Kind::folder) {
        why = "Is a directory";
    }
    return why.empty() ? &node->second : nullptr;
}

bool FakeFileSystem::isDirectory(const std::string& path) const {
    auto node = nodes_.find(normalise(path));
    return node != nodes_.end() && node->second.kind == Kind::folder;
}

FileError FakeFileSystem::createDirectories(const std::string& path) {
    std::string p = normalise(path);
    if (isDirectory(p)) {
        return std::nullopt;
    }
    if (exists(p) || !p.starts_with('/')) {
        return "something other than a folder is there";
    }
    std::string parent = parentOf(p);
    if (FileError error = createDirectories(parent)) {
        return error;
    }
    if (readOnly_.contains(parent)) {
        return "Permission denied";
    }
    make(p, Kind::folder, {});
    return std::nullopt;
}

FileError FakeFileSystem::createEmptyFile(const std::string& path) {
    Opened<FileWriter> created = createForWriting(path);
    return created.file ? std::nullopt : FileError(created.error);
}

Opened<FileWriter> FakeFileSystem::createForWriting(const std::string& path) {
    std::string p = normalise(path);
    std::string parent = parentOf(p);
    if (exists(p) || !isDirectory(parent) || readOnly_.contains(parent)) {
        return {nullptr, exists(p)             ? "File exists"
                         : isDirectory(parent) ? "Permission denied"
                                               : "No such file or directory"};
    }
    make(p, Kind::file, {});
    return {std::make_unique<FakeWriter>(*this, p), {}};
}

Opened<FileWriter> FakeFileSystem::openForWriting(const std::string& path, Links) {
    std::string p = normalise(path), why;
    return regular(p, why) ? Opened<FileWriter>{std::make_unique<FakeWriter>(*this, p), {}}
                           : Opened<FileWriter>{nullptr, why};
}

Opened<FileReader> FakeFileSystem::openForReading(const std::string& path) {
    std::string p = normalise(path), why;
    return regular(p, why) ? Opened<FileReader>{std::make_unique<FakeReader>(*this, p), {}}
                           : Opened<FileReader>{nullptr, why};
}

FileContents FakeFileSystem::readSmallFile(const std::string& path, std::size_t limit) {
    std::string why;
    Node* file = regular(normalise(path), why);
    if (file && file->bytes.size() > limit) {
        why = "larger than " + std::to_string(limit) + " bytes";
    }
    return why.empty() ? FileContents{file->bytes, {}} : FileContents{std::nullopt, why};
}

FileError FakeFileSystem::replaceFile(const std::string& path, std::string_view bytes) {
    std::string p = normalise(path);
    if (FileError error = createDirectories(parentOf(p))) {
        return error;
    }
    if (readOnly_.contains(parentOf(p)) || isDirectory(p)) {
        return isDirectory(p) ? "Is a directory" : "Permission denied";
    }
    make(p, Kind::file, std::string(bytes));
    return std::nullopt;
}

FileError FakeFileSystem::removeFile(const std::string& path) {
    std::string p = normalise(path);
    if (isDirectory(p) || (readOnly_.contains(parentOf(p)) && exists(p))) {
        return isDirectory(p) ? "Is a directory" : "Permission denied";
    }
    nodes_.erase(p);
    return std::nullopt;
}

void FakeFileSystem::addFile(const std::string& path, std::string content) {
    std::string p = normalise(path);
    createDirectories(parentOf(p));
    make(p, Kind::file, std::move(content));
}

void FakeFileSystem::rewrite(const std::string& path, std::string content) {
    std::string why;
    if (Node* file = regular(normalise(path), why)) {
        file->bytes = std::move(content);
        touch(*file);
    }
}

void FakeFileSystem::remove(const std::string& path) {
    std::string p = normalise(path);
    std::erase_if(nodes_, [&](const auto& node) {
        return p != "/" && (node.first == p || node.first.starts_with(p + "/"));
    });
}

std::string FakeFileSystem::content(const std::string& path) const {
    auto node = nodes_.find(normalise(path));
    return node == nodes_.end() ? std::string{} : node->second.bytes;
}

}  // namespace tesuko
