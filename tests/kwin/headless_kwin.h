// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <filesystem>

#include "support/main_loop.h"
#include "support/private_bus.h"
#include "support/programs.h"
#include "support/temp_dir.h"

namespace tesuko {

// Takes the calls of the test's KWin scripts: what they found.
class ActiveReports : public QDBusVirtualObject {
  public:
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        last = message.arguments().value(0).toString().toStdString();
        return connection.send(message.createReply());
    }
    QString introspect(const QString&) const override { return {}; }

    std::optional<std::string> last;
};

// What the tests' scripts call, in KWin 5's words and in KWin 6's.
inline const std::string kScriptPrelude =
    "const kwin6 = 'windowList' in workspace;"
    "function windows() { return kwin6 ? workspace.windowList() : workspace.clientList(); }"
    "function activeWindow() { return kwin6 ? workspace.activeWindow : workspace.activeClient; }"
    "function activate(w) {"
    "  if (kwin6) workspace.activeWindow = w; else workspace.activeClient = w; }\n";

// KWin 5.27 or 6 on its virtual output, on the private bus, with a Wayland
// socket of its own. The installed binary carries a file capability a container may
// not grant; a copy has none, and its name must still end in kwin_wayland.
class HeadlessKwin {
  public:
    HeadlessKwin() {
        const std::string binary = bus.dir / "kwin_wayland";
        std::filesystem::copy_file("/usr/bin/kwin_wayland", binary);
        start(kwin_,
              {binary, "--virtual", "--no-lockscreen", "--no-global-shortcuts", "--no-kactivities",
               "--socket", "wayland-kw", "--width", "1280", "--height", "720"},
              env({{"HOME", bus.dir.path()}, {"QT_QPA_PLATFORM", std::nullopt}}),
              bus.dir / "kwin.log");
        // Its name first: a call to a name with no owner may start something.
        if (!waitUntil([&] { return control_.interface()->isServiceRegistered("org.kde.KWin"); }) ||
            !waitUntil([&] { return scripting("start").type() == QDBusMessage::ReplyMessage; })) {
            throw std::runtime_error("KWin did not start:\n" + readFile(bus.dir / "kwin.log"));
        }
        control_.registerVirtualObject("/active", &reports_);
    }
    ~HeadlessKwin() { stop(kwin_); }

    // The environment of a program on this desktop.
    EnvChanges env(EnvChanges more = {}) const {
        more.merge(EnvChanges{{"WAYLAND_DISPLAY", "wayland-kw"},
                              {"XDG_RUNTIME_DIR", bus.runtime},
                              {"DBUS_SESSION_BUS_ADDRESS", bus.address},
                              {"DISPLAY", std::nullopt}});
        return more;
    }
    QDBusMessage scripting(const QString& method, const QVariantList& arguments = {}) {
        auto call = QDBusMessage::createMethodCall("org.kde.KWin", "/Scripting",
                                                   "org.kde.kwin.Scripting", method);
        call.setArguments(arguments);
        return control_.call(call);
    }
    bool scriptLoaded(const QString& name) {
        return scripting("isScriptLoaded", {name}).arguments().value(0).toBool();
    }
    // Makes the application's window the active one, as a click would; when
    // KWin told that it had.
    std::chrono::steady_clock::time_point activate(const std::string& application) {
        const std::string select =
            "for (const w of windows()) if (w.resourceClass == '" + application + "') activate(w);";
        if (!pumpUntil(
                [&] { return evaluate("activeWindow().resourceClass", select) == application; })) {
            throw std::runtime_error("KWin did not activate " + application);
        }
        return std::chrono::steady_clock::now();
    }
    // The JavaScript expression's value in KWin, after the statements ran
    // (with the prelude's functions at hand): a script run once, under a
    // name of its own, tells the test.
    std::string evaluate(const std::string& expression, const std::string& statements = "") {
        const QString name = QStringLiteral("kwin-test-%1").arg(++scripts_);
        writeFile(bus.dir / name.toStdString(),
                  kScriptPrelude + statements + "callDBus('" +
                      control_.baseService().toStdString() +
                      "', '/active', 'test.Active', 'Report', String(" + expression + "));");
        reports_.last.reset();
        scripting("loadScript", {QString::fromStdString(bus.dir / name.toStdString()), name});
        scripting("start");
        if (!pumpUntil([&] { return reports_.last.has_value(); })) {
            throw std::runtime_error("KWin ran no script:\n" + readFile(bus.dir / "kwin.log"));
        }
        return *reports_.last;
    }
    void stopKwin() { stop(kwin_); }

    PrivateBus bus;

  private:
    QDBusConnection control_ = bus.connect();
    ActiveReports reports_;
    QProcess kwin_;
    int scripts_ = 0;
};

}  // namespace tesuko
