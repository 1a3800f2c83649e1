// SPDX-License-Identifier: GPL-3.0-or-later
// Runs inside KWin: tells tesuko, over D-Bus, which window is active, when it
// is loaded, at every activation and at every title change of the active
// window, with the time it happened (tesuko may take the call late). KWin 5
// calls the activation signal clientActivated and the active window
// activeClient; KWin 6 says windowActivated and activeWindow.
var tesukoService = "io.github.tesuko.Tesuko";
var tesukoPath = "/io/github/tesuko/Tesuko/Desktop";
var tesukoInterface = "io.github.tesuko.Tesuko.Desktop";
var followed = null;

function reportWindow(window) {
    if (!window) {
        callDBus(tesukoService, tesukoPath, tesukoInterface, "ActiveWindowChanged", "", "", 0,
                 Date.now());
        return;
    }
    // For a Wayland client resourceClass is its app_id; for an X11 one, the
    // class part of WM_CLASS. A window with neither must not pass for none.
    var application = String(window.resourceClass || window.resourceName || "unknown");
    var pid = window.pid > 0 ? window.pid : 0;
    callDBus(tesukoService, tesukoPath, tesukoInterface, "ActiveWindowChanged", application,
             String(window.caption || ""), pid, Date.now());
}

function reportFollowed() {
    reportWindow(followed);
}

function follow(window) {
    if (followed) {
        try {
            followed.captionChanged.disconnect(reportFollowed);
        } catch (closed) {
            // The window is gone, and its signal with it.
        }
    }
    followed = window || null;
    if (followed) {
        followed.captionChanged.connect(reportFollowed);
    }
    reportWindow(followed);
}

if (workspace.windowActivated) {
    workspace.windowActivated.connect(follow);
    follow(workspace.activeWindow);
} else {
    workspace.clientActivated.connect(follow);
    follow(workspace.activeClient);
}
