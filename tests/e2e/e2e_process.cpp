#include "tests/e2e/e2e_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace tesuko::e2e {

namespace {

std::vector<std::string> environmentWith(const EnvChanges& changes) {
    std::vector<std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        std::string text(*entry);
        if (!changes.contains(text.substr(0, text.find('=')))) {
            result.push_back(text);
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

// Starts the program with its output sent to the given descriptor (or nowhere).
pid_t spawn(const std::vector<std::string>& argv, const EnvChanges& env, int outputFd,
            const std::string& outputFile) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (outputFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, outputFd, STDOUT_FILENO);
    } else {
        const char* target = outputFile.empty() ? "/dev/null" : outputFile.c_str();
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, target,
                                         O_WRONLY | O_CREAT | O_APPEND, 0600);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    }
    std::vector<std::string> args = argv;
    std::vector<std::string> envTexts = environmentWith(env);
    std::vector<char*> argPointers = pointersTo(args);
    std::vector<char*> envPointers = pointersTo(envTexts);
    pid_t pid = -1;
    int error = posix_spawnp(&pid, argPointers[0], &actions, nullptr, argPointers.data(),
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

}  // namespace

Process::Process(const std::vector<std::string>& argv, const EnvChanges& env,
                 const std::string& outputFile, int keepFd) {
    if (keepFd >= 0) {
        ::fcntl(keepFd, F_SETFD, 0);  // inherited across exec
    }
    pid_ = spawn(argv, env, -1, outputFile);
}

Process::~Process() {
    if (!status_) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

void Process::signal(int number) const {
    if (!status_) {
        ::kill(pid_, number);
    }
}

std::optional<int> Process::waitExit(std::chrono::milliseconds bound) {
    waitUntil(
        [this] {
            int waitStatus = 0;
            if (!status_ && ::waitpid(pid_, &waitStatus, WNOHANG) == pid_) {
                status_ = statusOf(waitStatus);
            }
            return status_.has_value();
        },
        bound);
    return status_;
}

Finished run(const std::vector<std::string>& argv, const EnvChanges& env) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        throw std::runtime_error("cannot make a pipe");
    }
    pid_t pid = spawn(argv, env, ends[1], {});
    ::close(ends[1]);
    Finished finished;
    char buffer[4096];
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd readable{ends[0], POLLIN, 0};
        if (::poll(&readable, 1, 100) <= 0) {
            continue;
        }
        ssize_t count = ::read(ends[0], buffer, sizeof buffer);
        if (count <= 0) {
            break;
        }
        finished.output.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(ends[0]);
    int waitStatus = 0;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (!waitUntil([&] { return ::waitpid(pid, &waitStatus, WNOHANG) == pid; }, left)) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &waitStatus, 0);
    }
    finished.status = statusOf(waitStatus);
    return finished;
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds bound) {
    auto deadline = std::chrono::steady_clock::now() + bound;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return true;
}

bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path ? path : "");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        if (!folder.empty() && ::access((folder + "/" + program).c_str(), X_OK) == 0) {
            return true;
        }
    }
    return false;
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace tesuko::e2e
