#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tesuko {

using namespace std::chrono_literals;

// Changes to the environment a program starts with: a value sets, none unsets.
using EnvChanges = std::map<std::string, std::optional<std::string>>;

// A program started by a test, ended and reaped when the object goes.
class ChildProcess {
  public:
    struct Options {
        EnvChanges environment;
        std::string outputFile;  // stdout and stderr; empty sends them nowhere
        int passFd = -1;         // left open in the child under its own number
    };

    ChildProcess() = default;
    // Throws when the program cannot be started.
    ChildProcess(const std::vector<std::string>& argv, const Options& options);
    ~ChildProcess() { terminate(); }
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    void signal(int number) const;
    // The exit status once the program ended within the bound; a signal that
    // ended it counts as 128 + its number.
    std::optional<int> waitExit(std::chrono::milliseconds bound = 20s);
    // SIGTERM, then SIGKILL if it has not ended within a moment; reaps it.
    void terminate();

  private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

struct Finished {
    int status = -1;
    std::string output;  // stdout only
};

// Runs a short program to its end (10 s at most) and collects what it prints.
Finished run(const std::vector<std::string>& argv, const EnvChanges& env = {});

// Polls the condition until it holds or the bound has passed; whether it held.
bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds bound);

bool onPath(const std::string& program);

}  // namespace tesuko
