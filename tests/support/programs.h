// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
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

// Starts the program with its stdout and stderr at the end of `logFile`, or
// with its stdout for the test to read and its stderr nowhere when that is
// empty. QProcess kills it when it goes. Throws when it cannot be started.
void start(QProcess& process, const std::vector<std::string>& argv, const EnvChanges& env = {},
           const std::string& logFile = "");

// The exit status once the program ended within the bound; a signal that
// ended it counts as 128 + its number.
std::optional<int> exitStatus(QProcess& process, std::chrono::milliseconds bound = 10s);

struct Finished {
    std::optional<int> status;
    std::string output;  // stdout only
};

// Runs a short program (10 s at most) and collects what it prints.
Finished run(const std::vector<std::string>& argv, const EnvChanges& env = {});

// Makes the program a login item, as the desktop's autostart folder under
// the configuration folder lists it.
void addLoginItem(const std::string& configFolder, const std::string& program);

// How often the part occurs in the text, overlaps included.
std::size_t countOf(const std::string& text, const std::string& part);

// A span on the test's clock in seconds, as records give it.
inline double seconds(std::chrono::steady_clock::duration span) {
    return std::chrono::duration<double>(span).count();
}

// For states no event announces, such as a file's content: whether the
// condition came to hold within the bound, asked every few milliseconds.
bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds bound = 10s);

}  // namespace tesuko
