#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Stand-ins for logind and the screensavers, driven through /control (see fake_desktop.h)."""

import os
import select
import sys

import dbus
import dbus.lowlevel as low
import dbus.mainloop.glib
from gi.repository import GLib

LOGIN1 = "org.freedesktop.login1"
ROOT = "/org/freedesktop/login1"
SESSION = LOGIN1 + ".Session"
SCREENSAVERS = {"/org/freedesktop/ScreenSaver": "org.freedesktop.ScreenSaver",
                "/ScreenSaver": "org.freedesktop.ScreenSaver", "/org/gnome/ScreenSaver": "org.gnome.ScreenSaver"}
options = sys.argv[3:]
events = []
active = {}  # a screensaver's interface: whether its owner last said it is active
inhibitors = []  # read ends of the pipes whose write ends went out


def held():  # forgets the inhibitors whose holders all closed; whether any is left
    for fd in list(inhibitors):
        if select.select([fd], [], [], 0)[0]:  # readable without writers: closed
            inhibitors.remove(fd)
            os.close(fd)
            events.append("released")
    return bool(inhibitors)


def fail(name):
    raise dbus.DBusException(name, name=LOGIN1 + "." + name)


def inhibit(path, *_):
    read_end, write_end = os.pipe()
    inhibitors.append(read_end)
    GLib.io_add_watch(read_end, GLib.IO_HUP | GLib.IO_ERR, lambda fd, _: held() and fd in inhibitors)
    handed = dbus.types.UnixFd(write_end)  # a copy: ours closes now
    os.close(write_end)
    return "h", handed


def emit(bus, path, interface, member, signature="", *args):
    message = low.SignalMessage(path, interface, member)
    message.append(*args, signature=signature)
    bus.send_message(message)


def signal(path, target, member, value):  # target: a session's name, "manager", a screensaver's path or name
    events.append("%s %s %s" % (target, member, bool(value)))
    if target == "manager":
        emit(buses[0], ROOT, LOGIN1 + ".Manager", "PrepareForSleep", "b", value)
    elif target in SCREENSAVERS and member == "stranger":  # sent by a program that owns no name
        emit(stranger, target, SCREENSAVERS[target], "ActiveChanged", "b", value)
    elif target in SCREENSAVERS:
        active[SCREENSAVERS[target]] = bool(value)
        emit(buses[1], target, SCREENSAVERS[target], "ActiveChanged", "b", value)
    elif member == "Own":  # the screensaver owns the name again, or leaves it
        (buses[1].request_name if value else buses[1].release_name)(target)
    elif member in ("Lock", "Unlock"):
        emit(buses[0], ROOT + "/session/" + target, SESSION, member)
    else:
        emit(buses[0], ROOT + "/session/" + target, "org.freedesktop.DBus.Properties", "PropertiesChanged",
             "sa{sv}as", SESSION, {member: dbus.Boolean(value)}, [])


METHODS = {  # member: (path, arguments...) -> (reply signature, values...) or None
    "GetSessionByPID": lambda *_: fail("NoSessionForPID") if "--no-pid-session" in options
    else ("o", ROOT + "/session/by_pid"),
    "GetSession": lambda *_: fail("NoSuchSession"),
    "GetUser": lambda _, uid: ("o", ROOT + "/user/_%d" % uid),
    "Get": lambda *_: ("v", dbus.Struct(("c3", dbus.ObjectPath(ROOT + "/session/display")), signature="so")),  # the user's Display
    "GetAll": lambda *_: ("a{sv}", {"LockedHint": "--locked" in options, "Active": True}),
    "GetActive": lambda path: ("b", active.get(SCREENSAVERS.get(path), False)),
    "Inhibit": inhibit,
    "Signal": signal,
    "Note": lambda _, text: events.append("note %s held=%s" % (text, held())),
    "Events": lambda _: ("as", events),
}


def handle(bus, message):
    if not isinstance(message, low.MethodCallMessage):
        return low.HANDLER_RESULT_NOT_YET_HANDLED
    path, args = message.get_path(), message.get_args_list()
    if path != "/control":
        events.append(" ".join([message.get_member(), path] + [str(arg) for arg in args]))
    try:
        signature, *values = METHODS[message.get_member()](path, *args) or ("",)
        reply = low.MethodReturnMessage(message)
        reply.append(*values, signature=signature)
    except dbus.DBusException as error:
        reply = low.ErrorMessage(message, error.get_dbus_name(), str(error))
    bus.send_message(reply)
    return low.HANDLER_RESULT_HANDLED


dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
buses = [dbus.bus.BusConnection(address) for address in sys.argv[1:3]]  # system, session
for bus, names in zip(buses, [[LOGIN1], ["org.freedesktop.ScreenSaver", "org.gnome.Shell.ScreenShield"]]):
    bus.add_message_filter(handle)
    for name in names:
        bus.request_name(name)
stranger = dbus.bus.BusConnection(sys.argv[2])
print("ready", flush=True)
GLib.MainLoop().run()
