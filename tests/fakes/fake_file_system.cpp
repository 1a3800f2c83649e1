// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/fake_file_system.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace tesuko {
namespace {

FileFault fault(int errorNumber) {
    return {FileFault::Cause::system, errorNumber};
}

std::string parentOf(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

// Like an open file, both follow the path, not the file first opened.
class FakeFile : public FileWriter, public FileReader {
  public:
    FakeFile(FakeFileSystem& fs, std::string path, std::uint64_t inode)
        : fs_(fs), path_(std::move(path)), inode_(inode) {}

    std::optional<char> lastByte() override {
        std::string bytes = fs_.content(path_);
        return bytes.empty() ? std::nullopt : std::optional<char>(bytes.back());
    }
    FileError write(std::string_view bytes) override {
        ++fs_.writeCalls;
        FileFault why;
        FakeFileSystem::Node* file = fs_.regular(path_, &why);
        if (fs_.writeFailure || !file) {
            return fs_.writeFailure ? fs_.writeFailure : why;
        }
        file->bytes.append(bytes);
        fs_.touch(*file);
        return std::nullopt;
    }
    bool stillAt(const std::string& path) override {
        FakeFileSystem::Node* file = fs_.regular(FakeFileSystem::normalise(path));
        return file && file->inode == inode_;
    }
    FileIdentity identity() override { return FakeFileSystem::identityOf(fs_.regular(path_)); }
    std::optional<std::size_t> readAt(std::uint64_t offset, std::span<char> into) override {
        FakeFileSystem::Node* file = fs_.regular(path_);
        if (!file) {
            return std::nullopt;
        }
        std::size_t count = offset >= file->bytes.size()
                                ? 0
                                : std::min<std::size_t>(into.size(), file->bytes.size() - offset);
        std::memcpy(into.data(), file->bytes.data() + offset, count);
        return count;
    }

  private:
    FakeFileSystem& fs_;
    std::string path_;
    std::uint64_t inode_;
};

template <typename T>
Opened<T> openAt(FakeFileSystem& fs, const std::string& path) {
    std::string p = FakeFileSystem::normalise(path);
    FileFault why;
    FakeFileSystem::Node* file = fs.regular(p, &why);
    return {file ? std::make_unique<FakeFile>(fs, p, file->inode) : nullptr, why};
}

}  // namespace

std::string FakeFileSystem::normalise(const std::string& path) {
    std::string result = std::filesystem::path(path).lexically_normal().string();
    return result.size() > 1 && result.back() == '/' ? result.substr(0, result.size() - 1) : result;
}
FileError FakeFileSystem::make(const std::string& path, bool folder, std::string bytes) {
    const std::string parent = parentOf(path);
    if (!isDirectory(parent) || readOnly_.contains(parent)) {
        return fault(isDirectory(parent) ? EACCES : ENOENT);
    }
    static std::uint64_t inodes = 0;
    touch(nodes_[path] = Node{folder, std::move(bytes), ++inodes, 0});
    return std::nullopt;
}

FakeFileSystem::Node* FakeFileSystem::regular(const std::string& path, FileFault* why) {
    auto node = nodes_.find(path);
    const int reason = node == nodes_.end() ? ENOENT : node->second.folder ? EISDIR : 0;
    if (why) {
        *why = fault(reason);
    }
    return reason == 0 ? &node->second : nullptr;
}

bool FakeFileSystem::isDirectory(const std::string& path) const {
    auto node = nodes_.find(normalise(path));
    return node != nodes_.end() && node->second.folder;
}

FileError FakeFileSystem::createDirectories(const std::string& path) {
    std::string p = normalise(path);
    if (isDirectory(p)) {
        return std::nullopt;
    }
    if (exists(p) || !p.starts_with('/')) {
        return p.starts_with('/') ? FileFault(FileFault::Cause::notAFolder)
                                  : FileFault(FileFault::Cause::relativePath);
    }
    FileError error = createDirectories(parentOf(p));
    return error ? error : make(p, true, {});
}

FileError FakeFileSystem::createEmptyFile(const std::string& path) {
    Opened<FileWriter> created = createForWriting(path);
    return created.file ? std::nullopt : FileError(created.error);
}

Opened<FileWriter> FakeFileSystem::createForWriting(const std::string& path) {
    std::string p = normalise(path);
    if (exists(p)) {
        return {nullptr, fault(EEXIST)};
    }
    if (FileError error = make(p, false, {})) {
        return {nullptr, *error};
    }
    return openAt<FileWriter>(*this, p);
}

Opened<FileWriter> FakeFileSystem::openForWriting(const std::string& path, Links) {
    return openAt<FileWriter>(*this, path);
}

Opened<FileReader> FakeFileSystem::openForReading(const std::string& path) {
    return openAt<FileReader>(*this, path);
}

FileContents FakeFileSystem::readSmallFile(const std::string& path, std::size_t limit) {
    FileFault why;
    Node* file = regular(normalise(path), &why);
    if (file && file->bytes.size() > limit) {
        return {std::nullopt, {FileFault::Cause::tooLarge, 0, limit}};
    }
    return file ? FileContents{file->bytes, {}} : FileContents{std::nullopt, why};
}

FileError FakeFileSystem::replaceFile(const std::string& path, std::string_view bytes, Access) {
    std::string p = normalise(path);
    FileError error = createDirectories(parentOf(p));
    return error ? error : isDirectory(p) ? fault(EISDIR) : make(p, false, std::string(bytes));
}

FileError FakeFileSystem::removeFile(const std::string& path) {
    std::string p = normalise(path);
    if (isDirectory(p) || (readOnly_.contains(parentOf(p)) && exists(p))) {
        return fault(isDirectory(p) ? EISDIR : EACCES);
    }
    nodes_.erase(p);
    return std::nullopt;
}

std::optional<std::vector<std::string>> FakeFileSystem::fileNames(const std::string& folder) {
    const std::string p = normalise(folder);
    if (!isDirectory(p)) {
        return std::nullopt;
    }
    std::vector<std::string> names;  // the map keeps them sorted
    for (const auto& [path, node] : nodes_) {
        if (!node.folder && parentOf(path) == p) {
            names.push_back(path.substr(path.rfind('/') + 1));
        }
    }
    return names;
}

void FakeFileSystem::addFile(const std::string& path, std::string content) {
    std::string p = normalise(path);
    createDirectories(parentOf(p));
    make(p, false, std::move(content));
}

void FakeFileSystem::rewrite(const std::string& path, std::string content) {
    if (Node* file = regular(normalise(path))) {
        file->bytes = std::move(content);
        touch(*file);
    }
}

void FakeFileSystem::append(const std::string& path, std::string_view bytes, OwnAppends& own) {
    Node* file = regular(normalise(path));
    FileIdentity before = identityOf(file);
    rewrite(path, content(path) + std::string(bytes));
    own.add(before, identityOf(file));
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
