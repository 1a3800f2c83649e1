// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QVariantList>
#include <deque>
#include <string>

#include "support/private_bus.h"
#include "support/programs.h"
#include "support/temp_dir.h"

namespace tesuko {

// A headless GNOME Shell for one test, as a login session would run it: a
// private session bus, which also stands in for the system bus (the Shell
// dies without one, and needs nothing on it), a home of its own whose
// settings live in a keyfile, and the test extension (test_extension/),
// since the Shell focuses no new window by itself and has no input devices.
// tesuko's extension is installed and enabled when asked for. All it started
// stops with it.
class HeadlessGnomeShell {
  public:
    explicit HeadlessGnomeShell(bool withTesukoExtension);
    ~HeadlessGnomeShell();

    // The Shell installed here: its major version, and the form of an
    // extension it loads ("shell-43": imports, "shell-45": ES modules).
    static int majorVersion();
    static std::string extensionForm();

    // Starts the Shell (again: a new login) and waits for the test
    // extension; throws when it does not come up.
    void logIn();
    // SIGTERM, then SIGKILL after 2 s.
    void stop();

    std::string home() const { return work_ / "home"; }
    std::string work(const std::string& name) const { return work_ / name; }
    // For programs of the session: its display, buses and home.
    EnvChanges env() const;
    QDBusConnection& bus() { return bus_; }
    // Calls the test extension (Activate, Focused, Nudge) on the Shell's own
    // connection, which also carries tesuko's extension's reports; the
    // reply's values, none for an error.
    QVariantList test(const QString& method, const QVariantList& arguments = {});
    // A window (tesuko_test_wayland_client), mapped; each line written to it
    // becomes its title.
    QProcess& openWindow(const std::string& appId, const std::string& title);

  private:
    bool startShell();

    TempDir work_;
    PrivateBus privateBus_;
    QProcess shell_;
    std::deque<QProcess> windows_;
    QDBusConnection bus_ = privateBus_.connect();
};

}  // namespace tesuko
