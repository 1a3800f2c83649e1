// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/gnome/headless_gnome_shell.h"

#include <signal.h>
#include <unistd.h>

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace tesuko {

namespace fs = std::filesystem;

namespace {

const std::string kDisplay = "wayland-tesuko";

// Generous: the machine may be busy with other compositors.
std::string firstLine(QProcess& process) {
    return process.waitForReadyRead(20000) ? process.readLine().trimmed().toStdString() : "";
}

}  // namespace

HeadlessGnomeShell::HeadlessGnomeShell(bool withTesukoExtension) {
    std::string enabled;
    const std::string form = "/" + extensionForm();
    for (const auto& [uuid, from] :
         {std::pair{"tesuko-test@tesuko.github.io",
                    TESUKO_BINARY_DIR "/tests/gnome/test-extension" + form},
          std::pair{"tesuko@tesuko.github.io",
                    TESUKO_BINARY_DIR "/share/tesuko/gnome-shell-extension" + form}}) {
        if (enabled.empty() || withTesukoExtension) {
            const std::string to = home() + "/.local/share/gnome-shell/extensions/" + uuid;
            fs::create_directories(to);
            fs::copy(from, to, fs::copy_options::recursive);
            enabled += (enabled.empty() ? "'" : ", '") + std::string(uuid) + "'";
        }
    }
    fs::create_directories(home() + "/.config/glib-2.0/settings");
    // New windows take no focus of their own: Shell 50 shows a window opened
    // at login late, and would hand it the focus just after a test's switch.
    writeFile(home() + "/.config/glib-2.0/settings/keyfile",
              "[org/gnome/shell]\nenabled-extensions=[" + enabled +
                  "]\n[org/gnome/desktop/wm/preferences]\nfocus-new-windows='strict'\n");
}

HeadlessGnomeShell::~HeadlessGnomeShell() {
    stop();
}

int HeadlessGnomeShell::majorVersion() {
    // "GNOME Shell 48.7"
    static const int version = [] {
        const std::string said = run({"gnome-shell", "--version"}).output;
        const std::size_t number = said.find_first_of("0123456789");
        return number == std::string::npos ? 0 : std::atoi(said.c_str() + number);
    }();
    return version;
}

std::string HeadlessGnomeShell::extensionForm() {
    return majorVersion() < 45 ? "shell-43" : "shell-45";
}

EnvChanges HeadlessGnomeShell::env() const {
    EnvChanges env{{"HOME", home()},
                   {"XDG_RUNTIME_DIR", privateBus_.runtime},
                   {"WAYLAND_DISPLAY", kDisplay},
                   {"DISPLAY", std::nullopt},
                   {"DBUS_SESSION_BUS_ADDRESS", privateBus_.address},
                   {"DBUS_SYSTEM_BUS_ADDRESS", privateBus_.address},
                   {"GSETTINGS_BACKEND", "keyfile"},
                   {"XDG_SESSION_TYPE", "wayland"}};
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME",
                             "XDG_DATA_DIRS", "XDG_CONFIG_DIRS"}) {
        env[name] = std::nullopt;
    }
    return env;
}

// Now and then the Shell hangs at start, in the child it forks for
// ibus-daemon (with JavaScript to run before exec, which may wait forever on
// a lock held in the parent): then the test logs in once more.
void HeadlessGnomeShell::logIn() {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (startShell()) {
            return;
        }
        stop();
    }
    throw std::runtime_error("gnome-shell did not come up:\n" + readFile(work_ / "shell.log"));
}

bool HeadlessGnomeShell::startShell() {
    // A Shell that ended without its own cleanup leaves this behind, and the
    // next one then runs no extension.
    fs::remove(privateBus_.runtime + "/gnome-shell-disable-extensions");
    EnvChanges shellEnv = env();
    shellEnv["WAYLAND_DISPLAY"] = std::nullopt;
    // A group of its own, so that its children end with it.
    shell_.setChildProcessModifier([] { ::setpgid(0, 0); });
    start(shell_,
          {"gnome-shell", "--headless", "--wayland", "--no-x11", "--virtual-monitor", "1280x720",
           "--wayland-display=" + kDisplay},
          shellEnv, work_ / "shell.log");
    // Never a call to a name with no owner: the Shell's name comes before its extensions.
    return waitUntil(
               [&] {
                   return shell_.state() != QProcess::Running ||
                          (bus_.interface()->isServiceRegistered(
                               QStringLiteral("org.gnome.Shell")) &&
                           !test(QStringLiteral("Focused")).isEmpty());
               },
               20s) &&
           shell_.state() == QProcess::Running;
}

void HeadlessGnomeShell::stop() {
    if (shell_.state() != QProcess::NotRunning) {
        const pid_t group = static_cast<pid_t>(shell_.processId());
        shell_.terminate();
        shell_.waitForFinished(2000);
        ::kill(-group, SIGKILL);  // it sometimes hangs on its way out
        shell_.waitForFinished();
    }
    windows_.clear();  // they end with their display, or are killed
}

QVariantList HeadlessGnomeShell::test(const QString& method, const QVariantList& arguments) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.gnome.Shell"), QStringLiteral("/io/github/tesuko/Test"),
        QStringLiteral("io.github.tesuko.Test"), method);
    call.setArguments(arguments);
    call.setAutoStartService(false);
    const QDBusMessage reply = bus_.call(call, QDBus::Block, 5000);
    return reply.type() == QDBusMessage::ReplyMessage ? reply.arguments() : QVariantList{};
}

QProcess& HeadlessGnomeShell::openWindow(const std::string& appId, const std::string& title) {
    QProcess& window = windows_.emplace_back();
    start(window,
          {TESUKO_BINARY_DIR "/tests/wayland_client/tesuko_test_wayland_client", appId, title},
          env());
    if (firstLine(window) != "ready") {
        throw std::runtime_error("the test window " + appId + " did not show");
    }
    return window;
}

}  // namespace tesuko
