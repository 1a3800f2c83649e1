#include "tests/fakes/fake_file_system.h"

#include <algorithm>
#include <cstring>

namespace tesuko {

class FakeWriter : public FileWriter {
  public:
    FakeWriter(FakeFileSystem& fs, std::string path)
        : fs_(fs), path_(std::move(path)), inode_(fs.inodes_[path_]) {}

    std::optional<char> lastByte() override {
        std::string bytes = fs_.content(path_);
        return bytes.empty() ? std::nullopt : std::optional<char>(bytes.back());
    }
    FileError write(std::string_view bytes) override {
        ++fs_.writeCalls;
        if (fs_.writeFailure) {
            return fs_.writeFailure;
        }
        auto file = fs_.files_.find(path_);
        if (file == fs_.files_.end()) {
            return "No such file or directory";
        }
        file->second.append(bytes);
        fs_.touch(path_);
        return std::nullopt;
    }
    bool stillAt(const std::string& path) override {
        auto inode = fs_.inodes_.find(FakeFileSystem::normalise(path));
        return inode != fs_.inodes_.end() && inode->second == inode_;
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
        auto file = fs_.files_.find(path_);
        std::uint64_t size = file == fs_.files_.end() ? 0 : file->second.size();
        std::int64_t modified = fs_.modified_[path_];
        return FileIdentity{1, fs_.inodes_[path_], size, modified, modified};
    }
    std::optional<std::size_t> readAt(std::uint64_t offset, std::span<char> into) override {
        auto file = fs_.files_.find(path_);
        if (file == fs_.files_.end() || fs_.failReads) {
            return std::nullopt;
        }
        const std::string& bytes = file->second;
        if (offset >= bytes.size()) {
            return 0;
        }
        std::size_t count = std::min<std::size_t>(into.size(), bytes.size() - offset);
        std::memcpy(into.data(), bytes.data() + offset, count);
        fs_.bytesRead += count;
        return count;
    }

  private:
    FakeFileSystem& fs_;
    std::string path_;
};

FakeFileSystem::FakeFileSystem() {
    folders_.insert("/");
}

std::string FakeFileSystem::normalise(const std::string& path) {
    std::string result;
    for (char c : path) {
        if (c == '/' && !result.empty() && result.back() == '/') {
            continue;
        }
        result += c;
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

bool FakeFileSystem::exists(const std::string& path) {
    std::string p = normalise(path);
    return files_.contains(p) || folders_.contains(p) || special_.contains(p);
}

FileError FakeFileSystem::createDirectories(const std::string& path) {
    std::string p = normalise(path);
    if (folders_.contains(p)) {
        return std::nullopt;
    }
    if (files_.contains(p) || special_.contains(p) || p.empty() || p[0] != '/') {
        return "something other than a folder is there";
    }
    std::string parent = parentOf(p);
    if (FileError error = createDirectories(parent)) {
        return error;
    }
    if (readOnly.contains(parent)) {
        return "Permission denied";
    }
    folders_.insert(p);
    return std::nullopt;
}

FileError FakeFileSystem::createEmptyFile(const std::string& path) {
    Opened<FileWriter> created = createForWriting(path);
    return created.file ? std::nullopt : FileError(created.error);
}

Opened<FileWriter> FakeFileSystem::createForWriting(const std::string& path) {
    std::string p = normalise(path);
    std::string parent = parentOf(p);
    if (exists(p)) {
        return {nullptr, "File exists"};
    }
    if (!folders_.contains(parent)) {
        return {nullptr, "No such file or directory"};
    }
    if (readOnly.contains(parent)) {
        return {nullptr, "Permission denied"};
    }
    files_[p] = "";
    inodes_[p] = nextInode_++;
    touch(p);
    return {std::make_unique<FakeWriter>(*this, p), {}};
}

std::optional<std::string> FakeFileSystem::whyNotRegular(const std::string& path) const {
    if (folders_.contains(path)) {
        return "Is a directory";
    }
    if (special_.contains(path)) {
        return "not a regular file";
    }
    if (!files_.contains(path)) {
        return "No such file or directory";
    }
    return std::nullopt;
}

Opened<FileWriter> FakeFileSystem::openForWriting(const std::string& path, Links) {
    std::string p = normalise(path);
    if (auto why = whyNotRegular(p)) {
        return {nullptr, *why};
    }
    return {std::make_unique<FakeWriter>(*this, p), {}};
}

Opened<FileReader> FakeFileSystem::openForReading(const std::string& path) {
    std::string p = normalise(path);
    if (auto why = whyNotRegular(p)) {
        return {nullptr, *why};
    }
    return {std::make_unique<FakeReader>(*this, p), {}};
}

FileContents FakeFileSystem::readSmallFile(const std::string& path, std::size_t limit) {
    std::string p = normalise(path);
    if (auto why = whyNotRegular(p)) {
        return {std::nullopt, *why};
    }
    if (files_[p].size() > limit) {
        return {std::nullopt, "larger than " + std::to_string(limit) + " bytes"};
    }
    return {files_[p], {}};
}

FileError FakeFileSystem::replaceFile(const std::string& path, std::string_view bytes) {
    std::string p = normalise(path);
    std::string parent = parentOf(p);
    if (FileError error = createDirectories(parent)) {
        return error;
    }
    if (readOnly.contains(parent)) {
        return "Permission denied";
    }
    if (folders_.contains(p)) {
        return "Is a directory";
    }
    special_.erase(p);
    files_[p] = std::string(bytes);
    inodes_[p] = nextInode_++;
    touch(p);
    return std::nullopt;
}

FileError FakeFileSystem::removeFile(const std::string& path) {
    std::string p = normalise(path);
    if (folders_.contains(p)) {
        return "Is a directory";
    }
    if (readOnly.contains(parentOf(p)) && exists(p)) {
        return "Permission denied";
    }
    files_.erase(p);
    inodes_.erase(p);
    special_.erase(p);
    return std::nullopt;
}

void FakeFileSystem::addFile(const std::string& path, std::string content) {
    std::string p = normalise(path);
    createDirectories(parentOf(p));
    files_[p] = std::move(content);
    inodes_[p] = nextInode_++;
    touch(p);
}

void FakeFileSystem::rewrite(const std::string& path, std::string content) {
    auto file = files_.find(normalise(path));
    if (file != files_.end()) {
        file->second = std::move(content);
        touch(file->first);
    }
}

void FakeFileSystem::remove(const std::string& path) {
    std::string p = normalise(path);
    files_.erase(p);
    inodes_.erase(p);
    std::erase_if(folders_, [&](const std::string& f) { return f == p || f.starts_with(p + "/"); });
    std::erase_if(files_, [&](const auto& f) { return f.first.starts_with(p + "/"); });
    std::erase_if(inodes_, [&](const auto& f) { return f.first.starts_with(p + "/"); });
}

std::string FakeFileSystem::content(const std::string& path) const {
    auto file = files_.find(normalise(path));
    return file == files_.end() ? std::string{} : file->second;
}

}  // namespace tesuko
