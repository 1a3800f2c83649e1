// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace tesuko {

std::string InstanceLock::defaultPath(const std::string& stateFolder) {
    if (stateFolder.starts_with('/')) {
        return stateFolder + "/tesuko/tesuko.lock";
    }
    return "/tmp/tesuko-" + std::to_string(::getuid()) + ".lock";
}

InstanceLock::InstanceLock(const std::string& path) {
    std::error_code ignored;  // opening the file says what is wrong
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!std::filesystem::exists(folder, ignored)) {
        std::filesystem::create_directories(folder, ignored);
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all, ignored);
    }
    // No symbolic links: in a shared folder one could point anywhere.
    fd_.reset(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!fd_) {
        const int error = errno;
        fail("cannot open the lock file " + path, error);
        return;
    }
    struct stat info = {};
    if (::fstat(fd_.get(), &info) != 0 || info.st_uid != ::getuid()) {
        fd_.reset();
        error_ = "the lock file " + path + " belongs to another user";
        return;
    }
    if (::flock(fd_.get(), LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error == EWOULDBLOCK) {
            status_ = Status::HeldByAnother;
            fd_.reset();
            return;
        }
        fail("cannot lock " + path, error);
        return;
    }
    status_ = Status::Acquired;
    // The holder's process id, for whoever wonders which process it is.
    std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd_.get(), 0) == 0) {
        [[maybe_unused]] ssize_t written = ::pwrite(fd_.get(), pid.data(), pid.size(), 0);
    }
}

namespace {

bool held(int fd) {
    if (::flock(fd, LOCK_SH | LOCK_NB) == 0) {
        ::flock(fd, LOCK_UN);
        return false;
    }
    return errno == EWOULDBLOCK;
}

std::optional<pid_t> holderPid(int fd) {
    char text[32] = {};
    const ssize_t length = ::pread(fd, text, sizeof text - 1, 0);
    pid_t pid = 0;
    if (length <= 0 || std::from_chars(text, text + length, pid).ec != std::errc{} || pid <= 1) {
        return std::nullopt;
    }
    return pid;
}

// Whether the kernel lists the process as the holder of a flock on the file.
// Its lines read "1: FLOCK  ADVISORY  WRITE 4321 fd:01:131090 0 EOF": the
// holder's pid, then the file's device (major and minor in hex) and inode.
bool holdsLock(pid_t pid, const struct stat& file) {
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);) {
        std::istringstream fields(line);
        std::string number, kind, advisory, mode, holder, place;
        fields >> number >> kind >> advisory >> mode >> holder >> place;
        const auto sameFile = [&] {
            unsigned major = 0, minor = 0;
            unsigned long inode = 0;
            char colon = 0;
            std::istringstream parts(place);
            parts >> std::hex >> major >> colon >> minor >> colon >> std::dec >> inode;
            return parts && major == ::major(file.st_dev) && minor == ::minor(file.st_dev) &&
                   inode == file.st_ino;
        };
        if (kind == "FLOCK" && holder == std::to_string(pid) && sameFile()) {
            return true;
        }
    }
    return false;
}

}  // namespace

InstanceLock::QuitOutcome InstanceLock::askHolderToQuit(const std::string& path,
                                                        std::chrono::milliseconds wait) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    struct stat info = {};
    if (!fd || ::fstat(fd.get(), &info) != 0 || info.st_uid != ::getuid() || !held(fd.get())) {
        return {Quit::notRunning, {}};
    }
    // The file names the holder only if nobody else wrote into it: the kernel
    // says who really holds the lock.
    const std::optional<pid_t> pid = holderPid(fd.get());
    if (!pid) {
        return {Quit::failed, "the lock file " + path + " names no process"};
    }
    if (!holdsLock(*pid, info)) {
        return {Quit::failed, "the lock file " + path + " names process " + std::to_string(*pid) +
                                  ", which does not hold the lock"};
    }
    if (::kill(*pid, SIGTERM) != 0) {
        return {Quit::failed,
                "cannot signal process " + std::to_string(*pid) + ": " + std::strerror(errno)};
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (held(fd.get())) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return {Quit::stillRunning, {}};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return {Quit::quit, {}};
}

void InstanceLock::fail(const std::string& what, int error) {
    error_ = what + ": " + std::strerror(error);
    fd_.reset();
    status_ = Status::Failed;
}

}  // namespace tesuko
