// SPDX-License-Identifier: GPL-3.0-or-later
// Builds with the address sanitizer check for leaks at exit, the program's
// and the tests'. What the libraries below keep until the process ends is not
// ours to free: Qt 6.4's Wayland platform plugin never destroys the globals
// it binds (wl_compositor and others), and libdbus keeps what Qt's platform
// integration asked of the session bus, and Qt 6.8's X11 platform plugin
// never deletes its desktop services object, whose parts QtCore allocates.
// The sanitizer's fast unwinder sees only the library in those stacks: a
// leak of ours still shows, by the object we allocated.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libwayland-client.so\n"
           "leak:libQt6WaylandClient.so\n"
           "leak:libdbus-1.so\n"
           "leak:QGenericUnixServices\n"
           "leak:libQt6Core.so\n";
}
#endif
