// SPDX-License-Identifier: GPL-3.0-or-later
// Builds with the address sanitizer check for leaks at exit, the program's
// and the tests'. What the libraries below keep until the process ends is not
// ours to free: Qt 6.4's Wayland platform plugin never destroys the globals
// it binds (wl_compositor and others), and libdbus keeps what Qt's platform
// integration asked of the session bus. The sanitizer's fast unwinder sees
// only the library in those stacks.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libwayland-client.so\n"
           "leak:libQt6WaylandClient.so\n"
           "leak:libdbus-1.so\n";
}
#endif
