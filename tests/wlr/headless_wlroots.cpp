// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/wlr/headless_wlroots.h"

#include <unistd.h>

#include <QStandardPaths>
#include <filesystem>
#include <stdexcept>

namespace tesuko {

namespace {

namespace fs = std::filesystem;

const std::string kClient = TESUKO_BINARY_DIR "/tests/wayland_client/tesuko_test_wayland_client";
constexpr uid_t kNobody = 65534;

struct Tools {
    const char* compositor;
    const char* control;
};

void handToNobody(const fs::path& path) {
    if (::chown(path.c_str(), kNobody, kNobody) != 0) {
        throw std::runtime_error("cannot hand " + path.string() + " to nobody");
    }
}

Tools toolsOf(Wlroots compositor) {
    return compositor == Wlroots::sway ? Tools{"sway", "swaymsg"} : Tools{"labwc", "wlrctl"};
}

}  // namespace

std::string nameOf(Wlroots compositor) {
    return toolsOf(compositor).compositor;
}

bool HeadlessWlroots::installed(Wlroots compositor) {
    const Tools tools = toolsOf(compositor);
    return !QStandardPaths::findExecutable(tools.compositor).isEmpty() &&
           !QStandardPaths::findExecutable(tools.control).isEmpty();
}

HeadlessWlroots::HeadlessWlroots(Wlroots compositor)
    : compositor_(compositor), runtime_(work_ / "runtime") {
    fs::create_directory(runtime_);
    std::vector<std::string> argv{"WLR_BACKENDS=headless", "WLR_LIBINPUT_NO_DEVICES=1",
                                  "WLR_RENDERER=pixman", "WLR_HEADLESS_OUTPUTS=1"};
    const std::vector<std::string> command = startCommand();
    argv.insert(argv.end(), command.begin(), command.end());
    if (::geteuid() == 0) {
        handToNobody(work_.path());
        for (const auto& entry : fs::recursive_directory_iterator(work_.path())) {
            handToNobody(entry.path());
        }
    }
    start(process_, asUser(argv), {}, work_ / "compositor.log");
    bool up = waitUntil([&] {
        for (const auto& entry : fs::directory_iterator(runtime_)) {
            if (entry.path().filename().string().starts_with("wayland-") &&
                entry.path().extension() != ".lock") {
                socket_ = entry.path();
            }
        }
        return !socket_.empty() && control({"-t", "get_tree"}, {"output", "list"}).status == 0;
    });
    if (!up) {
        throw std::runtime_error(nameOf(compositor_) +
                                 " did not come up: " + readFile(work_ / "compositor.log"));
    }
}

HeadlessWlroots::~HeadlessWlroots() {
    for (QProcess& window : windows_) {
        close(window);
    }
    stop();
}

// The compositor's own arguments, after its configuration is written.
std::vector<std::string> HeadlessWlroots::startCommand() {
    if (compositor_ == Wlroots::sway) {
        writeFile(work_ / "sway.conf",
                  "output HEADLESS-1 resolution 1280x720\ndefault_border none\nxwayland disable\n");
        return {"SWAYSOCK=" + runtime_ + "/sway.sock", "sway", "-c", work_ / "sway.conf"};
    }
    fs::create_directories(work_ / "config/labwc");
    writeFile(work_ / "config/labwc/rc.xml", "<?xml version=\"1.0\"?>\n<labwc_config/>\n");
    return {"XDG_CONFIG_HOME=" + work_ / "config", "labwc"};
}

std::vector<std::string> HeadlessWlroots::asUser(std::vector<std::string> argv) const {
    std::vector<std::string> prefix{"env", "-i", "PATH=/usr/bin:/bin", "HOME=" + work_.path(),
                                    "XDG_RUNTIME_DIR=" + runtime_};
    if (::geteuid() == 0) {
        prefix.insert(prefix.begin(),
                      {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
    }
    argv.insert(argv.begin(), prefix.begin(), prefix.end());
    return argv;
}

Finished HeadlessWlroots::control(const std::vector<std::string>& arguments) const {
    std::vector<std::string> argv =
        compositor_ == Wlroots::sway
            ? std::vector<std::string>{"swaymsg", "-s", runtime_ + "/sway.sock"}
            : std::vector<std::string>{"env", "WAYLAND_DISPLAY=" + socket_, "wlrctl"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return run(argv);
}

Finished HeadlessWlroots::control(const std::vector<std::string>& sway,
                                  const std::vector<std::string>& wlrctl) const {
    return control(compositor_ == Wlroots::sway ? sway : wlrctl);
}

bool HeadlessWlroots::shows(const std::string& title) const {
    if (compositor_ == Wlroots::sway) {
        return control({"-t", "get_tree"}).output.find("\"name\": \"" + title + "\"") !=
               std::string::npos;
    }
    return control({"toplevel", "find", "title:" + title}).status == 0;
}

QProcess& HeadlessWlroots::openWindow(const std::string& appId, const std::string& title) {
    QProcess& window = windows_.emplace_back();
    start(window, asUser({"WAYLAND_DISPLAY=" + socket_, kClient, appId, title}));
    if (!window.waitForReadyRead(10000) || window.readLine() != "ready\n") {
        throw std::runtime_error("no window " + appId);
    }
    return window;
}

void HeadlessWlroots::retitle(QProcess& window, const std::string& title) {
    window.write((title + "\n").c_str());
    window.waitForBytesWritten();
    waitUntil([&] { return shows(title); });
}

void HeadlessWlroots::close(QProcess& window) {
    window.closeWriteChannel();
    if (!window.waitForFinished(2000)) {
        window.kill();
    }
}

std::chrono::steady_clock::time_point HeadlessWlroots::focus(const std::string& title) {
    const auto asked = std::chrono::steady_clock::now();
    control({"[title=\"" + title + "\"] focus"}, {"toplevel", "focus", "title:" + title});
    return asked + (std::chrono::steady_clock::now() - asked) / 2;
}

void HeadlessWlroots::showNoWindow() {
    control({"workspace 2"}, {"toplevel", "minimize"});
}

void HeadlessWlroots::nudge() {
    control({"seat - cursor move 5 5"}, {"pointer", "move", "5", "5"});
}

// SIGTERM, as at the end of a session: the compositor closes every window,
// then its clients. SIGKILL: a crash.
void HeadlessWlroots::stop(int signal) {
    if (process_.state() == QProcess::NotRunning) {
        return;
    }
    ::kill(static_cast<pid_t>(process_.processId()), signal);
    if (!process_.waitForFinished(2000)) {
        process_.kill();
        process_.waitForFinished();
    }
}

}  // namespace tesuko
