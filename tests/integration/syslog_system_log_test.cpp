// SPDX-License-Identifier: GPL-3.0-or-later
// The real system log backend, watched without a syslog daemon: a child
// process takes a mount namespace with a /dev of its own and listens at
// /dev/log itself, so that syslog(3) hands it every line with its priority.
// Where no namespace can be had (a container without CAP_SYS_ADMIN), the
// syslog half skips and only stderr is checked.
#include "platform/posix/syslog_system_log.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <syslog.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "platform/posix/unique_fd.h"
#include "support/temp_dir.h"

namespace tesuko {
namespace {

struct Line {
    SystemLog::Priority priority;
    std::string sent;
    std::string logged;
    int syslogPriority;
};

const std::vector<Line> lines = {
    {SystemLog::Priority::trace, "Front window: Inbox\nforged", "Front window: Inbox forged",
     LOG_DEBUG},
    {SystemLog::Priority::info, "Ranking ready", "Ranking ready", LOG_INFO},
    {SystemLog::Priority::warning, "No tray yet", "No tray yet", LOG_WARNING},
    {SystemLog::Priority::error, "Cannot write the log", "Cannot write the log", LOG_ERR},
};

// TESUKO_DEBUG as the child sees it (nullptr: unset); only "1" lets traces out.
struct Setting {
    const char* debug;
    bool traces;
};

const std::vector<Setting> settings = {{nullptr, false}, {"0", false}, {"1", true}};

struct Seen {
    bool syslogWatched = false;
    std::vector<std::string> syslog;  // "<priority>identity: text"
    std::vector<std::string> stderrLines;
};

bool writeProcFile(const char* path, const std::string& text) {
    UniqueFd file(::open(path, O_WRONLY | O_CLOEXEC));
    return file && ::write(file.get(), text.data(), text.size()) == ssize_t(text.size());
}

// Root may take a mount namespace as it is; anyone else needs a user
// namespace around it, with their ids mapped so as to create files.
bool privateDev() {
    if (::unshare(CLONE_NEWNS) != 0) {
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0 ||
            !writeProcFile("/proc/self/uid_map", "0 " + std::to_string(::geteuid()) + " 1") ||
            !writeProcFile("/proc/self/setgroups", "deny") ||
            !writeProcFile("/proc/self/gid_map", "0 " + std::to_string(::getegid()) + " 1")) {
            return false;
        }
    }
    // Nothing mounted from here on may reach the test's own namespace.
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           ::mount("tmpfs", "/dev", "tmpfs", 0, "mode=0755") == 0;
}

UniqueFd listenAtDevLog() {
    UniqueFd socket(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, "/dev/log");
    if (::bind(socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        return {};
    }
    return socket;
}

// Up to the end, or to what there is now if the pipe does not block.
std::string readAll(int fd) {
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) {
        text.append(buffer, n);
    }
    return text;
}

// In the child, so that the test's own environment stays as it was: a backend
// made under the setting writes every line once; what reached syslog and
// stderr goes back to the test, a line each.
std::string writeEachLine(const Setting& setting) {
    UniqueFd devLog = privateDev() ? listenAtDevLog() : UniqueFd();
    std::string report = devLog ? "watched\n" : "unwatched\n";
    int errors[2];
    if (::pipe2(errors, O_NONBLOCK) != 0 || ::dup2(errors[1], STDERR_FILENO) < 0) {
        return report;
    }
    const UniqueFd errorsRead(errors[0]), errorsWrite(errors[1]);
    if (setting.debug != nullptr) {
        ::setenv("TESUKO_DEBUG", setting.debug, 1);
    } else {
        ::unsetenv("TESUKO_DEBUG");
    }
    {
        SyslogSystemLog log;
        for (const Line& line : lines) {
            log.write(line.priority, line.sent);
        }
    }
    char buffer[4096];
    for (ssize_t n;
         devLog && (n = ::recv(devLog.get(), buffer, sizeof buffer, MSG_DONTWAIT)) > 0;) {
        report += "syslog " + std::string(buffer, n) + "\n";
    }
    for (const std::string& line : linesOf(readAll(errorsRead.get()))) {
        report += "stderr " + line + "\n";
    }
    return report;
}

Seen seenUnder(const Setting& setting) {
    int channel[2];
    if (::pipe2(channel, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "no pipe: " << std::strerror(errno);
        return {};
    }
    pid_t child = ::fork();
    if (child == 0) {
        std::string report = writeEachLine(setting);
        ::_exit(::write(channel[1], report.data(), report.size()) == ssize_t(report.size()) ? 0
                                                                                            : 1);
    }
    ::close(channel[1]);
    UniqueFd fromChild(channel[0]);
    std::vector<std::string> report = linesOf(readAll(fromChild.get()));
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    Seen seen;
    const std::regex datagram(R"(syslog <(\d+)>.* (\S+)\[\d+\]: (.*))");
    for (const std::string& line : report) {
        std::smatch match;
        seen.syslogWatched |= line == "watched";
        if (line.starts_with("stderr ")) {
            seen.stderrLines.push_back(line.substr(7));
        } else if (std::regex_match(line, match, datagram)) {
            seen.syslog.push_back("<" + match.str(1) + ">" + match.str(2) + ": " + match.str(3));
        }
    }
    return seen;
}

std::vector<std::string> expected(const Setting& setting, bool withPriority) {
    std::vector<std::string> out;
    for (const Line& line : lines) {
        if (line.priority != SystemLog::Priority::trace || setting.traces) {
            const int priority = line.syslogPriority | LOG_USER;
            out.push_back((withPriority ? "<" + std::to_string(priority) + ">" : std::string()) +
                          "tesuko: " + line.logged);
        }
    }
    return out;
}

// Traces go out only with debug, on stderr and to syslog; each line reaches
// syslog at its priority.
TEST(SyslogSystemLogTest, TracesOnlyWithDebugAndEachLineAtItsPriority) {
    bool watched = true;
    for (const Setting& setting : settings) {
        SCOPED_TRACE(setting.debug ? setting.debug : "unset");
        const Seen seen = seenUnder(setting);
        EXPECT_EQ(seen.stderrLines, expected(setting, false));
        watched = watched && seen.syslogWatched;
        if (seen.syslogWatched) {
            EXPECT_EQ(seen.syslog, expected(setting, true));
        }
    }
    if (!watched) {
        GTEST_SKIP() << "no mount namespace to listen at /dev/log in: stderr alone was checked";
    }
}

}  // namespace
}  // namespace tesuko
