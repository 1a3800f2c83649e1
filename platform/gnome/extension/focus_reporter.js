// SPDX-License-Identifier: GPL-3.0-or-later
// The reporter both forms of the extension share; the build puts it into
// each form's extension.js in place of @FOCUS_REPORTER@.

const SERVICE = 'io.github.tesuko.Tesuko';
const PATH = '/io/github/tesuko/Tesuko/Desktop';
const INTERFACE = 'io.github.tesuko.Tesuko.Desktop';

// What tesuko records the window under: its app_id (WM_CLASS under X11),
// else the name of its process; empty only for "no window".
function applicationOf(window) {
    const name = window.get_wm_class() || window.get_sandboxed_app_id();
    if (name)
        return name;
    try {
        const [, comm] = GLib.file_get_contents(`/proc/${window.get_pid()}/comm`);
        return new TextDecoder().decode(comm).trim();
    } catch (e) {
        return '';
    }
}

// Calls ActiveWindowChanged(appId, title, pid) whenever the focus or the
// focused window's title changes, and once when tesuko appears on the bus.
// Calls go only to a tesuko that runs, so the bus never starts one for us.
class FocusReporter {
    constructor() {
        this._window = null;
        this._titleChangedId = 0;
        this._tesukoRunning = false;
        this._focusChangedId = global.display.connect('notify::focus-window', () => this._follow());
        this._watchId = Gio.bus_watch_name_on_connection(Gio.DBus.session, SERVICE,
            Gio.BusNameWatcherFlags.NONE, () => this._tesukoAppeared(true),
            () => this._tesukoAppeared(false));
        this._follow();
    }

    destroy() {
        Gio.bus_unwatch_name(this._watchId);
        global.display.disconnect(this._focusChangedId);
        this._window?.disconnect(this._titleChangedId);
    }

    _tesukoAppeared(running) {
        this._tesukoRunning = running;
        this._report();
    }

    _follow() {
        const window = global.display.focus_window;
        if (window === this._window)
            return;
        this._window?.disconnect(this._titleChangedId);
        this._window = window;
        this._titleChangedId = window?.connect('notify::title', () => this._report()) ?? 0;
        this._report();
    }

    _report() {
        if (!this._tesukoRunning)
            return;
        const window = this._window;
        const args = window
            ? [applicationOf(window), window.get_title() ?? '', Math.max(window.get_pid(), 0)]
            : ['', '', 0];
        const call = Gio.DBusMessage.new_method_call(SERVICE, PATH, INTERFACE, 'ActiveWindowChanged');
        call.set_body(new GLib.Variant('(ssu)', args));
        call.set_flags(Gio.DBusMessageFlags.NO_REPLY_EXPECTED | Gio.DBusMessageFlags.NO_AUTO_START);
        Gio.DBus.session.send_message(call, Gio.DBusSendMessageFlags.NONE);
    }
}
