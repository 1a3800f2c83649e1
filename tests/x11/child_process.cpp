#include "tests/x11/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <utility>

#include "platform/posix/unique_fd.h"

extern char** environ;

namespace tesuko {

namespace {

std::vector<std::string> mergedEnvironment(const std::map<std::string, std::string>& extra) {
    std::vector<std::string> merged;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        std::string text(*entry);
        if (!extra.contains(text.substr(0, text.find('=')))) {
            merged.push_back(std::move(text));
        }
    }
    for (const auto& [name, value] : extra) {
        merged.push_back(name + "=" + value);
    }
    return merged;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

// Waits until the process ends or the bound passes, without reaping it.
bool awaitExit(pid_t pid, std::chrono::milliseconds bound) {
    UniqueFd handle(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
    if (!handle) {
        return true;  // already reaped, or no pidfd: waitpid decides
    }
    pollfd watched{handle.get(), POLLIN, 0};
    return ::poll(&watched, 1, static_cast<int>(bound.count())) > 0;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const Options& options) {
    std::vector<std::string> arguments = argv;
    std::vector<std::string> environment = mergedEnvironment(options.environment);
    std::vector<char*> argPointers = pointersTo(arguments);
    std::vector<char*> envPointers = pointersTo(environment);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (options.quiet) {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    if (options.passFd >= 0) {
        // dup2 onto itself clears close-on-exec in the child only.
        posix_spawn_file_actions_adddup2(&actions, options.passFd, options.passFd);
    }
    pid_t pid = -1;
    if (::posix_spawnp(&pid, argPointers[0], &actions, nullptr, argPointers.data(),
                       envPointers.data()) == 0) {
        pid_ = pid;
    }
    posix_spawn_file_actions_destroy(&actions);
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept : pid_(std::exchange(other.pid_, -1)) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        terminate();
        pid_ = std::exchange(other.pid_, -1);
    }
    return *this;
}

int ChildProcess::wait(std::chrono::milliseconds bound) {
    if (pid_ <= 0 || !awaitExit(pid_, bound)) {
        return -1;
    }
    int status = 0;
    if (::waitpid(std::exchange(pid_, -1), &status, 0) < 0) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void ChildProcess::terminate() {
    if (pid_ <= 0) {
        return;
    }
    ::kill(pid_, SIGTERM);
    if (!awaitExit(pid_, std::chrono::seconds(3))) {
        ::kill(pid_, SIGKILL);
    }
    ::waitpid(std::exchange(pid_, -1), nullptr, 0);
}

int runCommand(const std::vector<std::string>& argv, const ChildProcess::Options& options) {
    ChildProcess child(argv, options);
    return child.wait();
}

bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path != nullptr ? path : "");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        if (!folder.empty() && ::access((folder + "/" + program).c_str(), X_OK) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace tesuko
