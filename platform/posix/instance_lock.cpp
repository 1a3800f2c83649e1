#include "platform/posix/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace tesuko {

std::string InstanceLock::defaultPath() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/') {
        return std::string(runtime) + "/tesuko.lock";
    }
    return "/tmp/tesuko-" + std::to_string(::getuid()) + ".lock";
}

InstanceLock::InstanceLock(const std::string& path) {
    // No symbolic links: in a shared folder one could point anywhere.
    fd_.reset(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!fd_) {
        const int error = errno;
        fail("cannot open the lock file " + path, error);
        return;
    }
    struct stat info {};
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

void InstanceLock::fail(const std::string& what, int error) {
    error_ = what + ": " + std::strerror(error);
    fd_.reset();
    status_ = Status::Failed;
}

}  // namespace tesuko
