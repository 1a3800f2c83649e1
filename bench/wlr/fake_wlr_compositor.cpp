// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/wlr/fake_wlr_compositor.h"

#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wayland-server.h>

#include <cerrno>
#include <deque>
#include <filesystem>
#include <list>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "wlr-foreign-toplevel-management-unstable-v1-server-protocol.h"

namespace tesuko {

namespace {

constexpr char kSocketName[] = "wayland-0";
constexpr int kManagerVersion = 3;

// What the benchmark tells the compositor, one message a packet.
enum Command : std::uint32_t { kOpen, kActivate };
struct Message {
    std::uint32_t command;
    std::uint32_t value;  // how many windows to open, or which to activate
};

// A destroyed resource leaves a null in the slot its user data points at.
void forget(wl_resource* resource) {
    *static_cast<wl_resource**>(wl_resource_get_user_data(resource)) = nullptr;
}

void ignore(wl_client*, wl_resource*) {}

const struct zwlr_foreign_toplevel_handle_v1_interface kHandleRequests = {
    .set_maximized = ignore,
    .unset_maximized = ignore,
    .set_minimized = ignore,
    .unset_minimized = ignore,
    .activate = [](wl_client*, wl_resource*, wl_resource*) {},
    .close = ignore,
    .set_rectangle = [](wl_client*, wl_resource*, wl_resource*, std::int32_t, std::int32_t,
                        std::int32_t, std::int32_t) {},
    .destroy = [](wl_client*, wl_resource* handle) { wl_resource_destroy(handle); },
};

const struct zwlr_foreign_toplevel_manager_v1_interface kManagerRequests = {
    .stop =
        [](wl_client*, wl_resource* manager) {
            zwlr_foreign_toplevel_manager_v1_send_finished(manager);
            wl_resource_destroy(manager);
        },
};

void sendState(wl_resource* handle, bool activated) {
    wl_array states;
    wl_array_init(&states);
    if (activated) {
        *static_cast<std::uint32_t*>(wl_array_add(&states, sizeof(std::uint32_t))) =
            ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
    }
    zwlr_foreign_toplevel_handle_v1_send_state(handle, &states);
    wl_array_release(&states);
}

// One client's manager and its handle of each window, in window order.
// Kept until the compositor ends: the resources' user data point into it.
struct Binding {
    wl_resource* manager;
    std::deque<wl_resource*> handles;
};

class Compositor {
  public:
    explicit Compositor(wl_display* display) : display_(display) {
        wl_global_create(display, &zwlr_foreign_toplevel_manager_v1_interface, kManagerVersion,
                         this, bind);
    }

    wl_display* display() const { return display_; }

    void handle(const Message& message) {
        if (message.command == kOpen) {
            for (std::uint32_t i = 0; i < message.value; ++i, ++windows_) {
                for (Binding& binding : bindings_) {
                    announce(binding, windows_);
                }
            }
        } else if (active_ != message.value) {
            activate(message.value);
        }
    }

  private:
    static void bind(wl_client* client, void* data, std::uint32_t version, std::uint32_t id) {
        auto& compositor = *static_cast<Compositor*>(data);
        wl_resource* manager = wl_resource_create(
            client, &zwlr_foreign_toplevel_manager_v1_interface, static_cast<int>(version), id);
        if (manager == nullptr) {
            wl_client_post_no_memory(client);
            return;
        }
        Binding& binding = compositor.bindings_.emplace_back(Binding{manager, {}});
        wl_resource_set_implementation(manager, &kManagerRequests, &binding.manager, forget);
        for (std::size_t window = 0; window < compositor.windows_; ++window) {
            compositor.announce(binding, window);
        }
    }

    static wl_resource* handleOf(const Binding& binding, std::optional<std::size_t> window) {
        return window && *window < binding.handles.size() ? binding.handles[*window] : nullptr;
    }

    void announce(Binding& binding, std::size_t window) {
        if (binding.manager == nullptr) {
            return;
        }
        wl_client* client = wl_resource_get_client(binding.manager);
        wl_resource*& handle = binding.handles.emplace_back(
            wl_resource_create(client, &zwlr_foreign_toplevel_handle_v1_interface,
                               wl_resource_get_version(binding.manager), 0));
        if (handle == nullptr) {
            wl_client_post_no_memory(client);
            return;
        }
        wl_resource_set_implementation(handle, &kHandleRequests, &handle, forget);
        const std::string name = "App" + std::to_string(window);
        zwlr_foreign_toplevel_manager_v1_send_toplevel(binding.manager, handle);
        zwlr_foreign_toplevel_handle_v1_send_title(handle, (name + " — a document title").c_str());
        zwlr_foreign_toplevel_handle_v1_send_app_id(handle, name.c_str());
        sendState(handle, active_ == window);
        zwlr_foreign_toplevel_handle_v1_send_done(handle);
    }

    // As wlroots does it: each window's new state at once, the `done` that
    // closes it when the event loop is next idle.
    void activate(std::size_t window) {
        const std::optional<std::size_t> before = std::exchange(active_, window);
        for (const Binding& binding : bindings_) {
            wl_resource* left = handleOf(binding, before);
            wl_resource* taken = handleOf(binding, active_);
            if (left != nullptr) {
                sendState(left, false);
            }
            if (taken != nullptr) {
                sendState(taken, true);
            }
            for (wl_resource* changed : {left, taken}) {
                if (changed != nullptr) {
                    zwlr_foreign_toplevel_handle_v1_send_done(changed);
                }
            }
        }
    }

    wl_display* display_;
    std::size_t windows_ = 0;
    std::optional<std::size_t> active_;
    std::list<Binding> bindings_;
};

int onControl(int fd, std::uint32_t, void* data) {
    auto& compositor = *static_cast<Compositor*>(data);
    Message message{};
    const ssize_t got = ::recv(fd, &message, sizeof message, MSG_DONTWAIT);
    if (got == sizeof message) {
        compositor.handle(message);
    } else if (got != -1 || errno != EAGAIN) {
        wl_display_terminate(compositor.display());  // the benchmark has gone
    }
    return 0;
}

// The child's life: serves until the benchmark hangs up; the exit status.
int serve(const std::string& runtime, int control) {
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    wl_display* display = wl_display_create();
    if (display == nullptr || wl_display_add_socket(display, kSocketName) != 0) {
        return 1;
    }
    {
        Compositor compositor(display);
        wl_event_loop_add_fd(wl_display_get_event_loop(display), control, WL_EVENT_READABLE,
                             onControl, &compositor);
        const char ready = 'r';
        if (::send(control, &ready, 1, MSG_NOSIGNAL) == 1) {
            wl_display_run(display);
        }
        wl_display_destroy_clients(display);
    }
    wl_display_destroy(display);
    return 0;
}

}  // namespace

FakeWlrCompositor::FakeWlrCompositor() {
    std::string folder = std::filesystem::temp_directory_path() / "tesuko-wlr-bench.XXXXXX";
    if (::mkdtemp(folder.data()) == nullptr) {
        throw std::system_error(errno, std::generic_category(), "mkdtemp " + folder);
    }
    runtime_ = folder;
    socket_ = runtime_ + "/" + kSocketName;
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0) {
        std::filesystem::remove_all(runtime_);
        throw std::system_error(errno, std::generic_category(), "socketpair");
    }
    child_ = ::fork();
    if (child_ == 0) {
        ::close(ends[0]);
        ::_exit(serve(runtime_, ends[1]));
    }
    ::close(ends[1]);
    control_ = ends[0];
    char ready = 0;
    if (child_ < 0 || ::recv(control_, &ready, 1, 0) != 1) {
        end();
        throw std::runtime_error("the compositor did not start in " + socket_);
    }
}

FakeWlrCompositor::~FakeWlrCompositor() {
    end();
}

// Later children hold this one's control socket too, so a signal ends it.
void FakeWlrCompositor::end() {
    ::close(control_);
    if (child_ > 0) {
        ::kill(child_, SIGTERM);
        ::waitpid(child_, nullptr, 0);
    }
    std::error_code ignored;
    std::filesystem::remove_all(runtime_, ignored);
}

void FakeWlrCompositor::open(int count) {
    tell(kOpen, static_cast<std::uint32_t>(count));
}

void FakeWlrCompositor::activate(int index) {
    tell(kActivate, static_cast<std::uint32_t>(index));
}

void FakeWlrCompositor::tell(std::uint32_t command, std::uint32_t value) {
    const Message message{command, value};
    if (::send(control_, &message, sizeof message, MSG_NOSIGNAL) != sizeof message) {
        throw std::system_error(errno, std::generic_category(), "the compositor has gone");
    }
}

}  // namespace tesuko
