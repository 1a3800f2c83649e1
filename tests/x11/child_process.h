#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace tesuko {

// A program started by a test, ended and reaped when the object goes.
class ChildProcess {
  public:
    struct Options {
        std::map<std::string, std::string> environment;  // set on top of ours
        int passFd = -1;                                 // left open in the child
        bool quiet = true;                               // output to /dev/null
    };

    ChildProcess() = default;
    ChildProcess(const std::vector<std::string>& argv, const Options& options);
    ~ChildProcess() { terminate(); }
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool started() const { return pid_ > 0; }
    // Waits up to the bound for the program to end; its exit status, or -1.
    int wait(std::chrono::milliseconds bound = std::chrono::seconds(20));
    // SIGTERM, then SIGKILL if it has not ended within a moment; reaps it.
    void terminate();

  private:
    pid_t pid_ = -1;
};

// Runs a short command to its end; its exit status.
int runCommand(const std::vector<std::string>& argv, const ChildProcess::Options& options);

// True when a program of that name is on the PATH.
bool onPath(const std::string& program);

}  // namespace tesuko
