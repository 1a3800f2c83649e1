#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tesuko::e2e {

// Changes to the environment a program starts with: a value sets, none unsets.
using EnvChanges = std::map<std::string, std::optional<std::string>>;

// A program started by a test; killed and reaped when the object goes.
class Process {
  public:
    // Output (stdout and stderr) goes to `outputFile`, or nowhere when empty.
    // `keepFd` stays open in the program under its own number.
    Process(const std::vector<std::string>& argv, const EnvChanges& env,
            const std::string& outputFile = {}, int keepFd = -1);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    pid_t pid() const { return pid_; }
    void signal(int number) const;
    // The exit status once the program ended within the bound; a signal that
    // ended it counts as 128 + its number.
    std::optional<int> waitExit(std::chrono::milliseconds bound);

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
std::string readText(const std::string& path);

}  // namespace tesuko::e2e
