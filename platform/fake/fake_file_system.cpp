#include "platform/fake/fake_file_system.h"

#include <algorithm>
#include <cstring>

namespace tesuko {

class FakeWriter : public FileWriter {
  public:
    FakeWriter(FakeFileSystem& fs, std::string path)
        : fs_(fs), path_(std::move(path)), inode_(fs.inodes_[path_]) {}

    void seekToEnd() override {}
    std::optional<std::string> write(std::string_view bytes) override {
        ++fs_.writeCalls;
        if (fs_.writeFailure) {
            return fs_.writeFailure;
        }
        auto file = fs_.files_.find(path_);
        if (file == fs_.files_.end()) {
            return "No such file or directory";
        }
        file->second.append(bytes);
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
        return FileIdentity{1, fs_.inodes_[path_], size};
    }
    std::optional<std::size_t> readAt(std::uint64_t offset, std::span<char> into) override {
        auto file = fs_.files_.find(path_);
        if (file == fs_.files_.end()) {
            return std::nullopt;
        }
        const std::string& bytes = file->second;
        if (offset >= bytes.size()) {
            return 0;
        }
        std::size_t count = std::min<std::size_t>(into.size(), bytes.size() - offset);
        std::memcpy(into.data(), bytes.data() + offset, count);
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
    return files_.contains(p) || folders_.contains(p);
}

bool FakeFileSystem::isDirectory(const std::string& path) {
    return folders_.contains(normalise(path));
}

bool FakeFileSystem::createDirectories(const std::string& path) {
    std::string p = normalise(path);
    if (folders_.contains(p)) {
        return true;
    }
    if (files_.contains(p) || p.empty() || p[0] != '/') {
        return false;
    }
    std::string parent = parentOf(p);
    if (!createDirectories(parent) || readOnly.contains(parent)) {
        return false;
    }
    folders_.insert(p);
    return true;
}

bool FakeFileSystem::createEmptyFile(const std::string& path) {
    std::string p = normalise(path);
    std::string parent = parentOf(p);
    if (exists(p) || !folders_.contains(parent) || readOnly.contains(parent)) {
        return false;
    }
    files_[p] = "";
    inodes_[p] = nextInode_++;
    return true;
}

Opened<FileWriter> FakeFileSystem::openForWriting(const std::string& path) {
    std::string p = normalise(path);
    if (folders_.contains(p)) {
        return {nullptr, "Is a directory"};
    }
    if (!files_.contains(p)) {
        return {nullptr, "No such file or directory"};
    }
    return {std::make_unique<FakeWriter>(*this, p), {}};
}

Opened<FileReader> FakeFileSystem::openForReading(const std::string& path) {
    std::string p = normalise(path);
    if (folders_.contains(p)) {
        return {nullptr, "Is a directory"};
    }
    if (!files_.contains(p)) {
        return {nullptr, "No such file or directory"};
    }
    return {std::make_unique<FakeReader>(*this, p), {}};
}

std::optional<std::string> FakeFileSystem::readAll(const std::string& path) {
    auto file = files_.find(normalise(path));
    if (file == files_.end()) {
        return std::nullopt;
    }
    return file->second;
}

void FakeFileSystem::addFile(const std::string& path, std::string content) {
    std::string p = normalise(path);
    createDirectories(parentOf(p));
    files_[p] = std::move(content);
    inodes_[p] = nextInode_++;
}

void FakeFileSystem::rewrite(const std::string& path, std::string content) {
    auto file = files_.find(normalise(path));
    if (file != files_.end()) {
        file->second = std::move(content);
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
