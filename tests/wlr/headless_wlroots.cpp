// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/wlr/headless_sway.h"

#include <unistd.h>

#include <filesystem>
#include <stdexcept>

namespace tesuko {

namespace {

namespace fs = std::filesystem;

const std::string kClient = TESUKO_BINARY_DIR "/tests/wayland_client/tesuko_test_wayland_client";
constexpr uid_t kNobody = 65534;

}  // namespace

HeadlessSway::HeadlessSway() : runtime_(work_ / "runtime") {
    fs::create_directory(runtime_);
    writeFile(work_ / "sway.conf",
              "output HEADLESS-1 resolution 1280x720\ndefault_border none\nxwayland disable\n");
    if (::geteuid() == 0) {
        for (const std::string& path : {work_.path(), runtime_, work_ / "sway.conf"}) {
            if (::chown(path.c_str(), kNobody, kNobody) != 0) {
                throw std::runtime_error("cannot hand " + path + " to nobody");
            }
        }
    }
    start(sway_,
          asUser({"WLR_BACKENDS=headless", "WLR_LIBINPUT_NO_DEVICES=1", "WLR_RENDERER=pixman",
                  "WLR_HEADLESS_OUTPUTS=1", "SWAYSOCK=" + runtime_ + "/sway.sock", "sway", "-c",
                  work_ / "sway.conf"}),
          {}, work_ / "sway.log");
    bool up = waitUntil([&] {
        for (const auto& entry : fs::directory_iterator(runtime_)) {
            if (entry.path().filename().string().starts_with("wayland-") &&
                entry.path().extension() != ".lock") {
                socket_ = entry.path();
            }
        }
        return !socket_.empty() && !tree().empty();
    });
    if (!up) {
        throw std::runtime_error("sway did not come up: " + readFile(work_ / "sway.log"));
    }
}

HeadlessSway::~HeadlessSway() {
    for (QProcess& window : windows_) {
        close(window);
    }
    stop();
}

std::vector<std::string> HeadlessSway::asUser(std::vector<std::string> argv) const {
    std::vector<std::string> prefix{"env", "-i", "PATH=/usr/bin:/bin", "HOME=" + work_.path(),
                                    "XDG_RUNTIME_DIR=" + runtime_};
    if (::geteuid() == 0) {
        prefix.insert(prefix.begin(),
                      {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
    }
    argv.insert(argv.begin(), prefix.begin(), prefix.end());
    return argv;
}

QProcess& HeadlessSway::openWindow(const std::string& appId, const std::string& title) {
    QProcess& window = windows_.emplace_back();
    start(window, asUser({"WAYLAND_DISPLAY=" + socket_, kClient, appId, title}));
    if (!window.waitForReadyRead(10000) || window.readLine() != "ready\n") {
        throw std::runtime_error("no window " + appId);
    }
    return window;
}

void HeadlessSway::retitle(QProcess& window, const std::string& title) {
    window.write((title + "\n").c_str());
    window.waitForBytesWritten();
    waitUntil([&] { return tree().find("\"name\": \"" + title + "\"") != std::string::npos; });
}

void HeadlessSway::close(QProcess& window) {
    window.closeWriteChannel();
    if (!window.waitForFinished(2000)) {
        window.kill();
    }
}

std::chrono::steady_clock::time_point HeadlessSway::swaymsg(const std::string& command) {
    const auto asked = std::chrono::steady_clock::now();
    run({"swaymsg", "-s", runtime_ + "/sway.sock", command});
    return asked + (std::chrono::steady_clock::now() - asked) / 2;
}

std::string HeadlessSway::tree() const {
    return run({"swaymsg", "-s", runtime_ + "/sway.sock", "-t", "get_tree"}).output;
}

// SIGTERM, as at the end of a session: sway closes every window, then its
// clients. SIGKILL: a crash.
void HeadlessSway::stop(int signal) {
    if (sway_.state() == QProcess::NotRunning) {
        return;
    }
    ::kill(static_cast<pid_t>(sway_.processId()), signal);
    if (!sway_.waitForFinished(2000)) {
        sway_.kill();
        sway_.waitForFinished();
    }
}

}  // namespace tesuko
