#include "tests/support/xvfb_desktop.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <stdexcept>

#include "platform/posix/unique_fd.h"
#include "tests/support/desktop_client.h"

namespace tesuko {

namespace {

// Reads the display number Xvfb writes once it accepts connections.
std::string readDisplayNumber(int fd) {
    std::string number;
    char byte = 0;
    pollfd watched{fd, POLLIN, 0};
    while (::poll(&watched, 1, 20000) > 0 && ::read(fd, &byte, 1) == 1) {
        if (byte == '\n') {
            return number;
        }
        number += byte;
    }
    return "";
}

}  // namespace

std::optional<std::string> XvfbDesktop::unavailableReason() {
    if (!onPath("Xvfb")) {
        return "Xvfb is not installed (package xvfb; `make deps` installs it), so there is no "
               "X server to test against";
    }
    return std::nullopt;
}

XvfbDesktop::XvfbDesktop(WindowManager manager) {
    startServer();
    if (manager == WindowManager::Openbox) {
        startWindowManager();
    }
}

XvfbDesktop::~XvfbDesktop() {
    // Clients first, so that none of them sees its server vanish.
    while (!programs_.empty()) {
        programs_.pop_back();
    }
    server_.terminate();
}

void XvfbDesktop::startServer() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        throw std::runtime_error("no pipe for Xvfb");
    }
    UniqueFd readEnd(ends[0]);
    UniqueFd writeEnd(ends[1]);
    server_ =
        ChildProcess({"Xvfb", "-displayfd", std::to_string(writeEnd.get()), "-nolisten", "tcp",
                      "-noreset", "-screen", "0", "1024x768x24"},
                     {.environment = {}, .outputFile = work_ / "Xvfb", .passFd = writeEnd.get()});
    writeEnd.reset();
    std::string number = readDisplayNumber(readEnd.get());
    if (number.empty()) {
        throw std::runtime_error("Xvfb did not start:\n" + logOf("Xvfb"));
    }
    display_ = ":" + number;
}

void XvfbDesktop::startWindowManager() {
    EnvChanges environment = env();
    // No user configuration: openbox's defaults, and no autostart.
    environment["XDG_CONFIG_HOME"] = work_.path();
    programs_.emplace_back(std::vector<std::string>{"openbox", "--sm-disable"},
                           ChildProcess::Options{environment, work_ / "openbox", -1});
    // openbox announces itself (_NET_SUPPORTING_WM_CHECK) before it handles
    // map requests, and drops those it gets meanwhile: it is ready once it
    // manages a probe window, mapped again for as long as it stays unmanaged.
    DesktopClient client(display_);
    xcb_window_t probe = client.createWindow({.wmClass = "TesukoProbe", .map = false});
    auto deadline = std::chrono::steady_clock::now() + 20s;
    bool managed = false;
    while (!managed && std::chrono::steady_clock::now() < deadline) {
        client.map(probe);
        managed = client.waitForClient("TesukoProbe", 250ms).has_value();
    }
    client.destroy(probe);
    if (!managed || !client.waitFor([&] { return client.clientList().empty(); })) {
        throw std::runtime_error("openbox did not start managing windows on " + display_ + ":\n" +
                                 logOf("openbox"));
    }
}

ChildProcess& XvfbDesktop::launch(const std::vector<std::string>& argv) {
    return programs_.emplace_back(argv, ChildProcess::Options{env(), {}, -1});
}

void XvfbDesktop::startTray() {
    ChildProcess& tray = programs_.emplace_back(
        std::vector<std::string>{"trayer", "--edge", "top", "--align", "right", "--widthtype",
                                 "request", "--height", "24", "--SetDockType", "true",
                                 "--transparent", "false"},
        ChildProcess::Options{env(), work_ / "trayer", -1});
    DesktopClient client(display_);
    if (!waitUntil([&] { return client.hasSelectionOwner("_NET_SYSTEM_TRAY_S0"); }, 10s)) {
        std::optional<int> ended = tray.waitExit(0ms);
        throw std::runtime_error(
            "trayer did not take the tray on " + display_ +
            (ended ? " (it ended with " + std::to_string(*ended) + ")" : " (still running)") +
            ":\n" + logOf("trayer"));
    }
}

void XvfbDesktop::killServer() {
    server_.terminate();
}

}  // namespace tesuko
