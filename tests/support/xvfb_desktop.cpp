// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/xvfb_desktop.h"

#include <QStandardPaths>
#include <algorithm>
#include <stdexcept>

#include "platform/x11/xcb_reply.h"

namespace tesuko {

XvfbDesktop::XvfbDesktop(WindowManager manager) {
    startServer();
    if (manager == WindowManager::Openbox) {
        launch({"openbox", "--sm-disable"}, "openbox");
        awaitWindowManager();
    }
}

XvfbDesktop::~XvfbDesktop() {
    for (QProcess& program : programs_) {
        program.kill();
        program.waitForFinished();
    }
    killServer();
}

// Xvfb prints the display it chose once it accepts connections.
void XvfbDesktop::startServer() {
    start(server_, {"Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-noreset", "-screen", "0",
                    "1024x768x24"});
    if (server_.waitForReadyRead(20000)) {
        display_ = (QByteArray(":") + server_.readLine().trimmed()).toStdString();
        connection_ = XcbConnection::connect(DisplayTarget{display_, std::nullopt}).connection;
    }
    if (!connection_) {
        throw std::runtime_error("Xvfb did not start");
    }
}

void XvfbDesktop::launch(const std::vector<std::string>& argv, const std::string& log) {
    EnvChanges environment = env();
    // No user configuration: openbox's defaults, and no autostart.
    environment["XDG_CONFIG_HOME"] = work_.path();
    start(programs_.emplace_back(), argv, environment, work_ / log);
}

// openbox announces itself before it handles map requests, and drops those it
// gets meanwhile: it is ready once it manages a probe window, mapped again for
// as long as it stays unmanaged.
void XvfbDesktop::awaitWindowManager() {
    xcb_window_t probe = createWindow({.map = false});
    bool managed = waitUntil(
        [&] {
            xcb_map_window(connection(), probe);
            return waitUntil([&] { return isManaged(probe); }, 250ms);
        },
        20s);
    destroy(probe);
    if (!managed || !waitUntil([&] { return rootList("_NET_CLIENT_LIST").empty(); })) {
        throw std::runtime_error("openbox did not manage windows:\n" + readFile(work_ / "openbox"));
    }
}

void XvfbDesktop::startTray() {
    if (QStandardPaths::findExecutable("trayer").isEmpty()) {
        launch(
            {"stalonetray", "--geometry", "1x1-0+0", "--icon-size", "24", "--grow-gravity", "NE"},
            "tray");
        return;
    }
    launch({"trayer", "--edge", "top", "--align", "right", "--widthtype", "request", "--height",
            "24", "--SetDockType", "true", "--transparent", "false"},
           "tray");
}

void XvfbDesktop::killServer() {
    server_.terminate();
    server_.waitForFinished();
}

Finished XvfbDesktop::xdotool(std::vector<std::string> arguments) const {
    arguments.insert(arguments.begin(), "xdotool");
    return run(arguments, env());
}

xcb_atom_t XvfbDesktop::atom(const std::string& name) const {
    auto reply = takeReply(
        xcb_intern_atom_reply, connection(),
        xcb_intern_atom(connection(), 0, static_cast<std::uint16_t>(name.size()), name.c_str()));
    return reply ? reply->atom : XCB_NONE;
}

xcb_window_t XvfbDesktop::createWindow(const NewWindow& wanted) {
    xcb_connection_t* c = connection();
    xcb_window_t window = xcb_generate_id(c);
    std::uint32_t overrideRedirect = wanted.overrideRedirect;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, root(), 10, 10, 200, 120, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_OVERRIDE_REDIRECT,
                      &overrideRedirect);
    auto setText = [&](xcb_atom_t property, xcb_atom_t type, const std::string& bytes) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, property, type, 8,
                            static_cast<std::uint32_t>(bytes.size()), bytes.data());
    };
    if (wanted.wmClass) {
        setText(XCB_ATOM_WM_CLASS, XCB_ATOM_STRING,
                std::string("app\0", 4) + *wanted.wmClass + '\0');
    }
    if (wanted.wmName) {
        setText(XCB_ATOM_WM_NAME, atom(wanted.wmNameType), *wanted.wmName);
    }
    if (wanted.netWmName) {
        setText(atom("_NET_WM_NAME"), atom("UTF8_STRING"), *wanted.netWmName);
    }
    if (wanted.pid) {
        setList(window, "_NET_WM_PID", XCB_ATOM_CARDINAL, {*wanted.pid});
    }
    if (wanted.windowType) {
        setList(window, "_NET_WM_WINDOW_TYPE", XCB_ATOM_ATOM, {atom(*wanted.windowType)});
    }
    if (wanted.map) {
        xcb_map_window(c, window);
    }
    sync();
    return window;
}

xcb_window_t XvfbDesktop::createManaged(const NewWindow& wanted) {
    xcb_window_t window = createWindow(wanted);
    if (!waitUntil([&] { return isManaged(window); })) {
        throw std::runtime_error("openbox did not take on " + wanted.wmClass.value_or("a window"));
    }
    return window;
}

void XvfbDesktop::activate(xcb_window_t window) const {
    xdotool({"windowactivate", "--sync", std::to_string(window)});
}

void XvfbDesktop::setList(xcb_window_t window, const std::string& property, xcb_atom_t type,
                          const std::vector<std::uint32_t>& values) {
    xcb_change_property(connection(), XCB_PROP_MODE_REPLACE, window, atom(property), type, 32,
                        static_cast<std::uint32_t>(values.size()), values.data());
    sync();
}

void XvfbDesktop::destroy(xcb_window_t window) {
    xcb_destroy_window(connection(), window);
    sync();
}

void XvfbDesktop::setActiveWindows(const std::vector<xcb_window_t>& windows) {
    xcb_atom_t active = atom("_NET_ACTIVE_WINDOW");
    for (xcb_window_t window : windows) {
        xcb_change_property(connection(), XCB_PROP_MODE_REPLACE, root(), active, XCB_ATOM_WINDOW,
                            32, 1, &window);
    }
    connection_->flush();
}

std::vector<xcb_window_t> XvfbDesktop::rootList(const std::string& property) const {
    auto reply = takeReply(
        xcb_get_property_reply, connection(),
        xcb_get_property(connection(), 0, root(), atom(property), XCB_ATOM_WINDOW, 0, 65536));
    if (!reply) {
        return {};
    }
    auto* first = static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
    return {first, first + xcb_get_property_value_length(reply.get()) / 4};
}

bool XvfbDesktop::isManaged(xcb_window_t window) const {
    std::vector<xcb_window_t> clients = rootList("_NET_CLIENT_LIST");
    return std::find(clients.begin(), clients.end(), window) != clients.end();
}

}  // namespace tesuko
