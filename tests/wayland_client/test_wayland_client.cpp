// SPDX-License-Identifier: GPL-3.0-or-later
// tesuko_test_wayland_client APP_ID TITLE
//
// A window for the tests on a Wayland desktop: an xdg-shell toplevel with
// that app_id and title and a small black buffer, so that the compositor maps
// it. Prints "ready" once it is mapped, takes each line on stdin as its new
// title, and exits 0 at the end of stdin or when the compositor goes away.
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/wayland/wayland_proxy.h"
#include "xdg-shell-client-protocol.h"

namespace tesuko {
namespace {

constexpr int kSide = 32;  // pixels, whatever size the compositor offers

struct Globals {
    WaylandProxy<wl_compositor> compositor{nullptr, wl_compositor_destroy};
    WaylandProxy<wl_shm> shm{nullptr, wl_shm_destroy};
    WaylandProxy<xdg_wm_base> wmBase{nullptr, xdg_wm_base_destroy};
};

template <typename T>
void bind(WaylandProxy<T>& proxy, wl_registry* registry, std::uint32_t name,
          const wl_interface& interface) {
    proxy.reset(static_cast<T*>(wl_registry_bind(registry, name, &interface, 1)));
}

const wl_registry_listener kRegistryListener{
    [](void* data, wl_registry* registry, std::uint32_t name, const char* interface,
       std::uint32_t) {
        auto& globals = *static_cast<Globals*>(data);
        const std::string_view offered(interface);
        if (offered == wl_compositor_interface.name) {
            bind(globals.compositor, registry, name, wl_compositor_interface);
        } else if (offered == wl_shm_interface.name) {
            bind(globals.shm, registry, name, wl_shm_interface);
        } else if (offered == xdg_wm_base_interface.name) {
            bind(globals.wmBase, registry, name, xdg_wm_base_interface);
        }
    },
    [](void*, wl_registry*, std::uint32_t) {}};

const xdg_wm_base_listener kWmBaseListener{
    [](void*, xdg_wm_base* wmBase, std::uint32_t serial) { xdg_wm_base_pong(wmBase, serial); }};

// A black square from a memfd: its content never matters.
wl_buffer* blackBuffer(wl_shm* shm) {
    const int stride = kSide * 4;
    const int fd = ::memfd_create("tesuko-test-window", MFD_CLOEXEC);
    if (fd < 0 || ::ftruncate(fd, stride * kSide) != 0) {
        std::perror("memfd");
        std::_Exit(1);
    }
    WaylandProxy<wl_shm_pool> pool{wl_shm_create_pool(shm, fd, stride * kSide),
                                   wl_shm_pool_destroy};
    ::close(fd);  // the pool holds its own reference
    return wl_shm_pool_create_buffer(pool.get(), 0, kSide, kSide, stride, WL_SHM_FORMAT_XRGB8888);
}

struct Window {
    explicit Window(const Globals& globals)
        : surface(wl_compositor_create_surface(globals.compositor.get()), wl_surface_destroy),
          xdgSurface(xdg_wm_base_get_xdg_surface(globals.wmBase.get(), surface.get()),
                     xdg_surface_destroy),
          toplevel(xdg_surface_get_toplevel(xdgSurface.get()), xdg_toplevel_destroy),
          buffer(blackBuffer(globals.shm.get()), wl_buffer_destroy) {
        xdg_surface_add_listener(xdgSurface.get(), &kSurfaceListener, this);
    }

    WaylandProxy<wl_surface> surface;
    WaylandProxy<xdg_surface> xdgSurface;
    WaylandProxy<xdg_toplevel> toplevel;
    WaylandProxy<wl_buffer> buffer;
    bool configured = false;

    // Acknowledged and committed at once: the window keeps its square.
    static constexpr xdg_surface_listener kSurfaceListener{
        [](void* data, xdg_surface* surface, std::uint32_t serial) {
            auto& window = *static_cast<Window*>(data);
            xdg_surface_ack_configure(surface, serial);
            wl_surface_commit(window.surface.get());
            window.configured = true;
        }};
};

// Retitles the window for each line on stdin; false at its end.
bool readTitles(xdg_toplevel* toplevel, std::string& pending) {
    char chunk[4096];
    const ssize_t count = ::read(STDIN_FILENO, chunk, sizeof chunk);
    pending.append(chunk, count > 0 ? static_cast<std::size_t>(count) : 0);
    for (auto end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
        xdg_toplevel_set_title(toplevel, pending.substr(0, end).c_str());
        pending.erase(0, end + 1);
    }
    return count > 0;
}

int run(const char* appId, const char* title) {
    WaylandProxy<wl_display> display{wl_display_connect(nullptr), wl_display_disconnect};
    if (!display) {
        std::perror("cannot connect to the Wayland display");
        return 1;
    }
    Globals globals;
    WaylandProxy<wl_registry> registry{wl_display_get_registry(display.get()), wl_registry_destroy};
    wl_registry_add_listener(registry.get(), &kRegistryListener, &globals);
    if (wl_display_roundtrip(display.get()) < 0 || !globals.compositor || !globals.shm ||
        !globals.wmBase) {
        std::fputs("the compositor offers no wl_compositor, wl_shm and xdg_wm_base\n", stderr);
        return 1;
    }
    xdg_wm_base_add_listener(globals.wmBase.get(), &kWmBaseListener, nullptr);
    Window window(globals);
    xdg_toplevel_set_app_id(window.toplevel.get(), appId);
    xdg_toplevel_set_title(window.toplevel.get(), title);
    wl_surface_commit(window.surface.get());  // asks for the first configure
    while (!window.configured) {
        if (wl_display_dispatch(display.get()) < 0) {
            return 1;
        }
    }
    wl_surface_attach(window.surface.get(), window.buffer.get(), 0, 0);
    wl_surface_commit(window.surface.get());
    if (wl_display_roundtrip(display.get()) < 0) {
        return 1;
    }
    std::puts("ready");
    std::fflush(stdout);
    std::string pending;
    pollfd watched[2] = {{wl_display_get_fd(display.get()), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    while (wl_display_flush(display.get()) >= 0 && ::poll(watched, 2, -1) >= 0) {
        if ((watched[0].revents != 0 && wl_display_dispatch(display.get()) < 0) ||
            (watched[1].revents != 0 && !readTitles(window.toplevel.get(), pending))) {
            break;
        }
    }
    return 0;
}

}  // namespace
}  // namespace tesuko

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: tesuko_test_wayland_client APP_ID TITLE\n", stderr);
        return 2;
    }
    return tesuko::run(argv[1], argv[2]);
}
