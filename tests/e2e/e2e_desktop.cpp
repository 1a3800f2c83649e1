#include "tests/e2e/e2e_desktop.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace tesuko::e2e {

namespace {

using namespace std::chrono_literals;

}  // namespace

std::optional<std::string> Desktop::unavailableReason() {
    if (!onPath("Xvfb")) {
        return "Xvfb is not installed (apt-get install xvfb)";
    }
    return std::nullopt;
}

Desktop::Desktop(const std::string& workFolder) : workFolder_(workFolder) {
    startServer();
    // Its own empty configuration folder: no autostart, no user settings.
    windowManager_.emplace(
        std::vector<std::string>{"openbox", "--sm-disable"},
        EnvChanges{{"DISPLAY", display_}, {"XDG_CONFIG_HOME", workFolder_ + "/openbox-config"}},
        workFolder_ + "/openbox.log");
    waitForWindowManager();
}

Desktop::~Desktop() {
    // Clients first, so that none of them sees its server vanish.
    tray_.reset();
    windowManager_.reset();
    server_.reset();
}

void Desktop::startServer() {
    int ends[2];
    if (::pipe(ends) != 0) {
        throw std::runtime_error("cannot make a pipe for Xvfb");
    }
    server_.emplace(
        std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(ends[1]), "-screen", "0",
                                 "1024x768x24", "-nolisten", "tcp", "-noreset"},
        EnvChanges{}, workFolder_ + "/xvfb.log", ends[1]);
    ::close(ends[1]);
    std::string number;
    pollfd readable{ends[0], POLLIN, 0};
    char c = 0;
    while (::poll(&readable, 1, 10000) == 1 && ::read(ends[0], &c, 1) == 1 && c != '\n') {
        number += c;
    }
    ::close(ends[0]);
    if (number.empty()) {
        throw std::runtime_error("Xvfb did not start:\n" + readText(workFolder_ + "/xvfb.log"));
    }
    display_ = ":" + number;
}

void Desktop::waitForWindowManager() {
    bool ready = waitUntil(
        [this] {
            Finished check = run({"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"}, env());
            return check.output.find("window id") != std::string::npos;
        },
        10s);
    if (!ready) {
        throw std::runtime_error("openbox did not start on " + display_ + ":\n" +
                                 readText(workFolder_ + "/openbox.log"));
    }
}

void Desktop::startTray() {
    tray_.emplace(std::vector<std::string>{"trayer", "--edge", "top", "--align", "right",
                                           "--widthtype", "request", "--height", "24",
                                           "--SetDockType", "true", "--transparent", "false"},
                  env(), workFolder_ + "/trayer.log");
    if (!waitUntil([this] { return trayOwned(); }, 10s)) {
        std::optional<int> ended = tray_->waitExit(0ms);
        throw std::runtime_error(
            "trayer did not take the tray on " + display_ +
            (ended ? " (it ended with " + std::to_string(*ended) + ")" : " (still running)") +
            ":\n" + readText(workFolder_ + "/trayer.log") +
            run({"xwininfo", "-root", "-tree"}, env()).output);
    }
}

// A tray host owns the selection _NET_SYSTEM_TRAY_S<screen>.
bool Desktop::trayOwned() const {
    std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t*)> connection(
        xcb_connect(display_.c_str(), nullptr), xcb_disconnect);
    if (xcb_connection_has_error(connection.get())) {
        return false;
    }
    const char name[] = "_NET_SYSTEM_TRAY_S0";
    std::unique_ptr<xcb_intern_atom_reply_t, void (*)(void*)> atom(
        xcb_intern_atom_reply(connection.get(),
                              xcb_intern_atom(connection.get(), 0, sizeof name - 1, name), nullptr),
        std::free);
    if (!atom) {
        return false;
    }
    std::unique_ptr<xcb_get_selection_owner_reply_t, void (*)(void*)> owner(
        xcb_get_selection_owner_reply(
            connection.get(), xcb_get_selection_owner(connection.get(), atom->atom), nullptr),
        std::free);
    return owner && owner->owner != XCB_NONE;
}

void Desktop::endServer() {
    server_->signal(SIGTERM);
    server_->waitExit(10s);
}

Finished Desktop::xdotool(const std::vector<std::string>& args) const {
    std::vector<std::string> argv{"xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    return run(argv, env());
}

std::vector<std::string> Desktop::visibleWindows(const std::string& windowClass) const {
    Finished found = xdotool({"search", "--onlyvisible", "--class", "^" + windowClass + "$"});
    std::vector<std::string> windows;
    std::istringstream lines(found.output);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty()) {
            windows.push_back(line);
        }
    }
    return windows;
}

std::optional<Geometry> Desktop::geometry(const std::string& window) const {
    Finished shown = xdotool({"getwindowgeometry", "--shell", window});
    if (shown.status != 0) {
        return std::nullopt;
    }
    Geometry geometry;
    std::istringstream lines(shown.output);
    for (std::string line; std::getline(lines, line);) {
        auto equals = line.find('=');
        std::string name = line.substr(0, equals);
        int value = equals == std::string::npos ? 0 : std::stoi(line.substr(equals + 1));
        if (name == "X") {
            geometry.x = value;
        } else if (name == "Y") {
            geometry.y = value;
        } else if (name == "WIDTH") {
            geometry.width = value;
        } else if (name == "HEIGHT") {
            geometry.height = value;
        }
    }
    return geometry;
}

void Desktop::clickAt(int x, int y) const {
    xdotool({"mousemove", std::to_string(x), std::to_string(y), "click", "1"});
}

bool Desktop::screenshot(const std::string& path) const {
    return run({"import", "-window", "root", path}, env()).status == 0;
}

}  // namespace tesuko::e2e
