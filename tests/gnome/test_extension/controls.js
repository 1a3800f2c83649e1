// SPDX-License-Identifier: GPL-3.0-or-later
// Test-only: a headless shell starts in the overview and focuses no new
// window, and has no input devices: the tests ask this object, on the shell's
// own bus connection, to activate a window by its app_id, and to move the
// pointer of a virtual device. The build puts it into each form's
// extension.js in place of @TEST_CONTROLS@.

const INTERFACE = `<node><interface name="io.github.tesuko.Test">
  <method name="Activate"><arg type="s" direction="in"/><arg type="b" direction="out"/></method>
  <method name="Focused"><arg type="s" direction="out"/><arg type="s" direction="out"/></method>
  <method name="Nudge"/>
</interface></node>`;

class TestControls {
    Activate(appId) {
        const actor = global.get_window_actors().find(a => a.meta_window.get_wm_class() === appId);
        if (actor)
            Main.activateWindow(actor.meta_window);
        return actor !== undefined;
    }

    // The focused window's app_id and title: its reports to tesuko went out before this answer.
    Focused() {
        const window = global.display.focus_window;
        return [window?.get_wm_class() ?? '', window?.get_title() ?? ''];
    }

    // User input, as far as the idle monitor can tell: the pointer moves.
    Nudge() {
        this._pointer.notify_relative_motion(GLib.get_monotonic_time(), 3, 3);
    }

    enable() {
        this._pointer = Clutter.get_default_backend().get_default_seat()
            .create_virtual_device(Clutter.InputDeviceType.POINTER_DEVICE);
        this._object = Gio.DBusExportedObject.wrapJSObject(INTERFACE, this);
        this._object.export(Gio.DBus.session, '/io/github/tesuko/Test');
    }

    disable() {
        this._object.unexport();
        this._object = null;
        this._pointer = null;
    }
}
