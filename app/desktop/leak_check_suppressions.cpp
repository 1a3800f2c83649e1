// SPDX-License-Identifier: GPL-3.0-or-later
// Builds with the address sanitizer check for leaks at exit. Qt 6.4's
// Wayland platform plugin never destroys the globals it binds (wl_compositor
// and others); the sanitizer's fast unwinder sees only libwayland-client in
// those stacks.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libwayland-client.so\nleak:libQt6WaylandClient.so\n";
}
#endif
