#include "platform/xdg/entry_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/posix/unique_fd.h"

namespace tesuko {

namespace {

std::string describe(const std::string& what, int error) {
    return what + ": " + std::strerror(error);
}

bool isFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0) {
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        bytes.remove_prefix(std::size_t(written));
    }
    return true;
}

// Removes the temporary file unless it was renamed into place.
class TemporaryFile {
  public:
    explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
    ~TemporaryFile() {
        if (!kept_) {
            ::unlink(path_.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& path() const { return path_; }
    void keep() { kept_ = true; }

  private:
    std::string path_;
    bool kept_ = false;
};

}  // namespace

std::optional<std::string> readSmallFile(const std::string& path, std::size_t maxBytes) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat info {};
    if (!fd || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        std::size_t(info.st_size) > maxBytes) {
        return std::nullopt;
    }
    std::string content(std::size_t(info.st_size), '\0');
    std::size_t filled = 0;
    while (filled < content.size()) {
        ssize_t got = ::read(fd.get(), content.data() + filled, content.size() - filled);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            break;  // shrunk while we read: keep what is there
        }
        filled += std::size_t(got);
    }
    content.resize(filled);
    return content;
}

bool somethingAt(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

std::optional<std::string> createPrivateFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1); true; slash = folder.find('/', slash + 1)) {
        std::string prefix = folder.substr(0, slash);
        if (!prefix.empty() && !isFolder(prefix) && ::mkdir(prefix.c_str(), 0700) != 0 &&
            errno != EEXIST) {
            return describe("Could not create the folder " + prefix, errno);
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    if (!isFolder(folder)) {
        return describe("Could not use the folder " + folder, ENOTDIR);
    }
    return std::nullopt;
}

std::optional<std::string> writeFileAtomically(const std::string& folder, const std::string& name,
                                               std::string_view content) {
    const std::string target = folder + "/" + name;
    std::string pattern = folder + "/." + name + ".XXXXXX";
    UniqueFd fd(::mkostemp(pattern.data(), O_CLOEXEC));
    if (!fd) {
        return describe("Could not create a file in " + folder, errno);
    }
    TemporaryFile temporary(pattern);
    if (!writeAll(fd.get(), content) || ::fsync(fd.get()) != 0) {
        return describe("Could not write " + target, errno);
    }
    fd.reset();
    if (::rename(temporary.path().c_str(), target.c_str()) != 0) {
        return describe("Could not write " + target, errno);
    }
    temporary.keep();
    // Make the new name itself survive a crash.
    UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir) {
        ::fsync(dir.get());
    }
    return std::nullopt;
}

}  // namespace tesuko
