#!/usr/bin/python3
"""Stand-ins for logind (on the bus given first) and the screensavers (on the
bus given second), for the session tests.

The test drives them through /control on the first bus: Signal(target,
member, value) makes them emit what logind or a screensaver would, Events()
returns what they saw, in order, and Note(text) adds a line to that which
tells whether an inhibitor is still held.

    fake_desktop_bus.py SYSTEM_ADDRESS SESSION_ADDRESS [--no-pid-session] [--locked]
"""

import os
import select
import sys

import dbus
import dbus.bus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

LOGIN1 = "org.freedesktop.login1"
ROOT = "/org/freedesktop/login1"
MANAGER = LOGIN1 + ".Manager"
SESSION = LOGIN1 + ".Session"
PROPERTIES = "org.freedesktop.DBus.Properties"
SCREENSAVERS = {  # object path: (bus name, interface)
    "/org/freedesktop/ScreenSaver": ("org.freedesktop.ScreenSaver", "org.freedesktop.ScreenSaver"),
    "/ScreenSaver": ("org.freedesktop.ScreenSaver", "org.freedesktop.ScreenSaver"),
    "/org/gnome/ScreenSaver": ("org.gnome.Shell.ScreenShield", "org.gnome.ScreenSaver"),
}
# Session name: its id. by_pid is the caller's own (unless --no-pid-session),
# by_id the one its $XDG_SESSION_ID names, display the user's graphical one.
SESSIONS = {"by_pid": "c1", "by_id": "c2", "display": "c3"}

events = []
inhibitors = []  # read ends of the pipes whose write ends went out


def release_closed():
    """Forgets the inhibitors whose every holder closed its end; whether any is left."""
    for fd in list(inhibitors):
        if select.select([fd], [], [], 0)[0]:  # readable without writers: closed
            inhibitors.remove(fd)
            os.close(fd)
            events.append("released")
    return bool(inhibitors)


def watch_release(fd, _condition):
    release_closed()
    return fd in inhibitors  # keep watching only what is still held


class Session(dbus.service.Object):
    def __init__(self, bus, name, locked):
        super().__init__(bus, ROOT + "/session/" + name)
        self.name = name
        self.properties = {"LockedHint": dbus.Boolean(locked), "Active": dbus.Boolean(True)}

    @dbus.service.signal(SESSION)
    def Lock(self):
        pass

    @dbus.service.signal(SESSION)
    def Unlock(self):
        pass

    @dbus.service.signal(PROPERTIES, signature="sa{sv}as")
    def PropertiesChanged(self, interface, changed, invalidated):
        pass

    @dbus.service.method(PROPERTIES, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        events.append("GetAll " + self.name)
        return self.properties

    def change(self, name, value):
        self.properties[name] = dbus.Boolean(value)
        self.PropertiesChanged(SESSION, {name: self.properties[name]}, [])


class Manager(dbus.service.Object):
    def __init__(self, bus, pid_session):
        super().__init__(bus, ROOT)
        self.pid_session = pid_session

    @dbus.service.method(MANAGER, in_signature="u", out_signature="o")
    def GetSessionByPID(self, pid):
        events.append("GetSessionByPID")
        if not self.pid_session:
            raise dbus.DBusException("no session", name=LOGIN1 + ".NoSessionForPID")
        return ROOT + "/session/by_pid"

    @dbus.service.method(MANAGER, in_signature="s", out_signature="o")
    def GetSession(self, session_id):
        events.append("GetSession " + session_id)
        for name, known in SESSIONS.items():
            if known == session_id:
                return ROOT + "/session/" + name
        raise dbus.DBusException("no such session", name=LOGIN1 + ".NoSuchSession")

    @dbus.service.method(MANAGER, in_signature="u", out_signature="o")
    def GetUser(self, uid):
        events.append("GetUser")
        return ROOT + "/user/_%d" % uid

    @dbus.service.method(MANAGER, in_signature="ssss", out_signature="h")
    def Inhibit(self, what, who, why, mode):
        events.append("inhibit %s %s %s %s" % (what, who, why, mode))
        read_end, write_end = os.pipe()
        inhibitors.append(read_end)
        GLib.io_add_watch(read_end, GLib.IO_HUP | GLib.IO_ERR, watch_release)
        handed = dbus.types.UnixFd(write_end)  # a copy: ours closes now
        os.close(write_end)
        return handed

    @dbus.service.signal(MANAGER, signature="b")
    def PrepareForSleep(self, start):
        pass


class User(dbus.service.Object):
    @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        events.append("Get " + name)
        return dbus.Struct((SESSIONS["display"], dbus.ObjectPath(ROOT + "/session/display")),
                           signature="so")


def screensaver(interface):
    """A screensaver object class for one of the two interfaces, which share their members."""

    class ScreenSaver(dbus.service.Object):
        def __init__(self, bus, path):
            super().__init__(bus, path)
            self.path = path

        @dbus.service.method(interface, out_signature="b")
        def GetActive(self):
            events.append("GetActive " + self.path)
            return False

        @dbus.service.signal(interface, signature="b")
        def ActiveChanged(self, active):
            pass

    return ScreenSaver


class Control(dbus.service.Object):
    def __init__(self, bus, manager, sessions, screensavers):
        super().__init__(bus, "/control")
        self.manager, self.sessions, self.screensavers = manager, sessions, screensavers

    @dbus.service.method("test.Control", in_signature="ssb")
    def Signal(self, target, member, value):
        events.append("%s %s %s" % (target, member, bool(value)))
        if target == "manager":
            self.manager.PrepareForSleep(value)
        elif target in self.screensavers:
            self.screensavers[target].ActiveChanged(value)
        elif member in ("Lock", "Unlock"):
            getattr(self.sessions[target], member)()
        else:
            self.sessions[target].change(member, value)

    @dbus.service.method("test.Control", in_signature="s")
    def Note(self, text):
        events.append("note %s held=%s" % (text, release_closed()))

    @dbus.service.method("test.Control", out_signature="as")
    def Events(self):
        return events


def main():
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    system = dbus.bus.BusConnection(sys.argv[1])
    session = dbus.bus.BusConnection(sys.argv[2])
    options = sys.argv[3:]
    sessions = {name: Session(system, name, "--locked" in options) for name in SESSIONS}
    manager = Manager(system, "--no-pid-session" not in options)
    User(system, ROOT + "/user/_%d" % os.getuid())
    screensavers = {path: screensaver(interface)(session, path)
                    for path, (_, interface) in SCREENSAVERS.items()}
    Control(system, manager, sessions, screensavers)
    for bus, name in [(system, LOGIN1)] + [(session, owner) for owner, _ in SCREENSAVERS.values()]:
        bus.request_name(name)
    print("ready", flush=True)
    GLib.MainLoop().run()


if __name__ == "__main__":
    main()
