#include "tests/x11/xvfb_desktop.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>

#include "platform/posix/unique_fd.h"
#include "tests/x11/desktop_client.h"

namespace tesuko {

namespace {

constexpr int kServerStartMillis = 20000;

// Reads the display number Xvfb writes once it accepts connections.
std::string readDisplayNumber(int fd) {
    std::string number;
    char byte = 0;
    pollfd watched{fd, POLLIN, 0};
    while (::poll(&watched, 1, kServerStartMillis) > 0 && ::read(fd, &byte, 1) == 1) {
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
    programs_.clear();
    windowManager_.terminate();
    server_.terminate();
}

void XvfbDesktop::startServer() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        throw std::runtime_error("no pipe for Xvfb");
    }
    UniqueFd readEnd(ends[0]);
    UniqueFd writeEnd(ends[1]);
    ChildProcess::Options options;
    options.passFd = writeEnd.get();
    server_ = ChildProcess({"Xvfb", "-displayfd", std::to_string(writeEnd.get()), "-nolisten",
                            "tcp", "-noreset", "-screen", "0", "1024x768x24"},
                           options);
    writeEnd.reset();
    std::string number = readDisplayNumber(readEnd.get());
    if (!server_.started() || number.empty()) {
        throw std::runtime_error("Xvfb did not start");
    }
    display_ = ":" + number;
}

void XvfbDesktop::startWindowManager() {
    ChildProcess::Options options = clientOptions();
    // No user configuration: openbox's defaults, and no autostart.
    options.environment["XDG_CONFIG_HOME"] = configHome_.path();
    windowManager_ = ChildProcess({"openbox", "--sm-disable"}, options);
    // openbox announces itself (_NET_SUPPORTING_WM_CHECK) before it handles
    // map requests, and drops those it gets meanwhile: it is ready once it
    // manages a probe window, mapped again for as long as it stays unmanaged.
    DesktopClient client(display_);
    xcb_window_t probe = client.createWindow({.wmClass = "TesukoProbe", .map = false});
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    bool managed = false;
    while (!managed && std::chrono::steady_clock::now() < deadline) {
        client.map(probe);
        managed = client.waitForClient("TesukoProbe", std::chrono::milliseconds(250)).has_value();
    }
    client.destroy(probe);
    if (!managed || !client.waitFor([&] { return client.clientList().empty(); })) {
        throw std::runtime_error("openbox did not start managing windows on " + display_);
    }
}

ChildProcess::Options XvfbDesktop::clientOptions() const {
    ChildProcess::Options options;
    options.environment["DISPLAY"] = display_;
    return options;
}

ChildProcess& XvfbDesktop::launch(const std::vector<std::string>& argv) {
    return programs_.emplace_back(argv, clientOptions());
}

int XvfbDesktop::run(const std::vector<std::string>& argv) const {
    return runCommand(argv, clientOptions());
}

void XvfbDesktop::killServer() {
    server_.terminate();
}

}  // namespace tesuko
