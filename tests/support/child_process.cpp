#include "tests/support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <utility>

#include "platform/posix/unique_fd.h"

extern char** environ;

namespace tesuko {

namespace {

std::vector<std::string> environmentWith(const EnvChanges& changes) {
    std::vector<std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        std::string text(*entry);
        if (!changes.contains(text.substr(0, text.find('=')))) {
            result.push_back(std::move(text));
        }
    }
    for (const auto& [name, value] : changes) {
        if (value) {
            result.push_back(name + "=" + *value);
        }
    }
    return result;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

// Starts the program with its stdout on `outputFd`, or else its output in the file.
pid_t spawn(const std::vector<std::string>& argv, const ChildProcess::Options& options,
            int outputFd) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (outputFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, outputFd, STDOUT_FILENO);
    } else {
        const char* target = options.outputFile.empty() ? "/dev/null" : options.outputFile.c_str();
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, target,
                                         O_WRONLY | O_CREAT | O_APPEND, 0600);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    }
    if (options.passFd >= 0) {
        // dup2 onto itself clears close-on-exec in the child only.
        posix_spawn_file_actions_adddup2(&actions, options.passFd, options.passFd);
    }
    std::vector<std::string> args = argv;
    std::vector<std::string> envTexts = environmentWith(options.environment);
    std::vector<char*> argPointers = pointersTo(args);
    std::vector<char*> envPointers = pointersTo(envTexts);
    pid_t pid = -1;
    int error = ::posix_spawnp(&pid, argPointers[0], &actions, nullptr, argPointers.data(),
                               envPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(error));
    }
    return pid;
}

int statusOf(int waitStatus) {
    return WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus);
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

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const Options& options)
    : pid_(spawn(argv, options, -1)) {}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)), status_(other.status_) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        terminate();
        pid_ = std::exchange(other.pid_, -1);
        status_ = other.status_;
    }
    return *this;
}

void ChildProcess::signal(int number) const {
    if (pid_ > 0 && !status_) {
        ::kill(pid_, number);
    }
}

std::optional<int> ChildProcess::waitExit(std::chrono::milliseconds bound) {
    int waitStatus = 0;
    if (pid_ > 0 && !status_ && awaitExit(pid_, bound) && ::waitpid(pid_, &waitStatus, 0) == pid_) {
        status_ = statusOf(waitStatus);
    }
    return status_;
}

void ChildProcess::terminate() {
    if (pid_ <= 0 || status_) {
        return;
    }
    signal(SIGTERM);
    if (!waitExit(3s)) {
        signal(SIGKILL);
        waitExit(10s);
    }
}

Finished run(const std::vector<std::string>& argv, const EnvChanges& env) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        throw std::runtime_error("cannot make a pipe");
    }
    UniqueFd readEnd(ends[0]);
    UniqueFd writeEnd(ends[1]);
    pid_t pid = spawn(argv, {.environment = env, .outputFile = {}, .passFd = -1}, writeEnd.get());
    writeEnd.reset();
    Finished finished;
    char buffer[4096];
    auto deadline = std::chrono::steady_clock::now() + 10s;
    pollfd readable{readEnd.get(), POLLIN, 0};
    while (std::chrono::steady_clock::now() < deadline) {
        if (::poll(&readable, 1, 100) <= 0) {
            continue;
        }
        ssize_t count = ::read(readEnd.get(), buffer, sizeof buffer);
        if (count <= 0) {
            break;
        }
        finished.output.append(buffer, static_cast<std::size_t>(count));
    }
    int waitStatus = 0;
    auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (!awaitExit(pid, std::max(left, 0ms))) {
        ::kill(pid, SIGKILL);
    }
    ::waitpid(pid, &waitStatus, 0);
    finished.status = statusOf(waitStatus);
    return finished;
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds bound) {
    auto deadline = std::chrono::steady_clock::now() + bound;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(25ms);
    }
    return true;
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
