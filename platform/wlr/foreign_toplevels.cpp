// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wlr/foreign_toplevels.h"

#include <algorithm>
#include <iterator>

namespace tesuko {

namespace {

using Handle = zwlr_foreign_toplevel_handle_v1;

ForeignToplevel& toplevelOf(void* data) {
    return *static_cast<ForeignToplevel*>(data);
}

// The order of the windows on screen: those activated first, and each kind
// by when it was last in front.
bool listedBefore(const ForeignToplevel* a, const ForeignToplevel* b) {
    if (a->state().activated != b->state().activated) {
        return a->state().activated;
    }
    return a->raised() > b->raised();
}

}  // namespace

std::optional<std::string> applicationOf(const ToplevelState& state) {
    if (!state.appId || state.appId->empty()) {
        return std::nullopt;
    }
    return state.appId;
}

const zwlr_foreign_toplevel_handle_v1_listener ForeignToplevel::kListener{
    .title = [](void* data, Handle*,
                const char* title) { toplevelOf(data).pending_.title = title; },
    .app_id = [](void* data, Handle*,
                 const char* appId) { toplevelOf(data).pending_.appId = appId; },
    .output_enter = [](void*, Handle*, wl_output*) {},
    .output_leave = [](void*, Handle*, wl_output*) {},
    .state = [](void* data, Handle*, wl_array* states) { toplevelOf(data).takeStates(*states); },
    .done = [](void* data, Handle*) { toplevelOf(data).commit(); },
    .closed =
        [](void* data, Handle*) {
            ForeignToplevel& toplevel = toplevelOf(data);
            toplevel.closed_ = true;
            toplevel.list_.closed(toplevel);
        },
    .parent = [](void*, Handle*, Handle*) {},
};

// The per-window object goes in as the listener's data: add_listener sets the
// proxy's one user data, so setting it apart as well would overwrite one
// with the other.
ForeignToplevel::ForeignToplevel(Handle* handle, ForeignToplevels& list)
    : handle_(handle, zwlr_foreign_toplevel_handle_v1_destroy),
      list_(list),
      raised_(list.nextRaise()) {
    zwlr_foreign_toplevel_handle_v1_add_listener(handle, &kListener, this);
}

// The whole state each time: what it leaves out no longer holds.
void ForeignToplevel::takeStates(const wl_array& states) {
    pending_.activated = false;
    pending_.minimized = false;
    const auto* values = static_cast<const std::uint32_t*>(states.data);
    for (std::size_t i = 0; i < states.size / sizeof(std::uint32_t); ++i) {
        pending_.activated |= values[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
        pending_.minimized |= values[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_MINIMIZED;
    }
}

void ForeignToplevel::commit() {
    const ToplevelState before = std::exchange(state_, pending_);
    if (state_.activated && !before.activated) {
        raised_ = list_.nextRaise();
    }
    list_.committed(before, state_);
}

const zwlr_foreign_toplevel_manager_v1_listener ForeignToplevels::kListener{
    .toplevel =
        [](void* data, zwlr_foreign_toplevel_manager_v1*, Handle* handle) {
            auto& list = *static_cast<ForeignToplevels*>(data);
            list.toplevels_.push_back(std::make_unique<ForeignToplevel>(handle, list));
        },
    // The compositor has let go of the manager; the windows known stay.
    .finished =
        [](void* data, zwlr_foreign_toplevel_manager_v1*) {
            static_cast<ForeignToplevels*>(data)->manager_.reset();
        },
};

ForeignToplevels::ForeignToplevels(zwlr_foreign_toplevel_manager_v1* manager,
                                   const WaylandConnection& connection)
    : manager_(manager, zwlr_foreign_toplevel_manager_v1_destroy), connection_(connection) {
    zwlr_foreign_toplevel_manager_v1_add_listener(manager, &kListener, this);
}

const ForeignToplevel* ForeignToplevels::front() const {
    const ForeignToplevel* front = nullptr;
    for (const auto& toplevel : toplevels_) {
        if (toplevel->state().activated && !toplevel->closed() &&
            (!front || toplevel->raised() > front->raised())) {
            front = toplevel.get();
        }
    }
    return front;
}

std::vector<const ForeignToplevel*> ForeignToplevels::shown() const {
    std::vector<const ForeignToplevel*> shown;
    for (const auto& toplevel : toplevels_) {
        if (!toplevel->closed() && (!toplevel->state().minimized || toplevel->state().activated)) {
            shown.push_back(toplevel.get());
        }
    }
    return shown;
}

std::vector<const ForeignToplevel*> ForeignToplevels::onScreen() const {
    std::vector<const ForeignToplevel*> windows = shown();
    std::sort(windows.begin(), windows.end(), listedBefore);
    return windows;
}

// A heap hands the windows out in that order one at a time: sorting
// thousands of them cost more than the rest of a switch, which looks for a
// window near the front.
const ForeignToplevel* ForeignToplevels::frontMost(
    const std::function<bool(const ForeignToplevel&)>& wanted) const {
    std::vector<const ForeignToplevel*> heap = shown();
    const auto listedAfter = [](const ForeignToplevel* a, const ForeignToplevel* b) {
        return listedBefore(b, a);
    };
    std::make_heap(heap.begin(), heap.end(), listedAfter);
    for (auto end = heap.end(); end != heap.begin(); --end) {
        std::pop_heap(heap.begin(), end, listedAfter);
        if (wanted(**std::prev(end))) {
            return *std::prev(end);
        }
    }
    return nullptr;
}

void ForeignToplevels::committed(const ToplevelState& before, const ToplevelState& after) {
    if (before.activated != after.activated || (after.activated && before.appId != after.appId)) {
        noteFrontChange();
    }
}

void ForeignToplevels::closed(const ForeignToplevel& toplevel) {
    if (toplevel.state().activated) {
        noteFrontChange();
    }
}

void ForeignToplevels::forgetClosed() {
    std::erase_if(toplevels_, [](const auto& toplevel) { return toplevel->closed(); });
}

void ForeignToplevels::reopenClosed() {
    for (const auto& toplevel : toplevels_) {
        if (std::exchange(toplevel->closed_, false) && toplevel->state().activated) {
            noteFrontChange();
        }
    }
}

void ForeignToplevels::noteFrontChange() {
    if (!frontChangedAt_) {
        frontChangedAt_ = connection_.lastReadAt();
    }
}

}  // namespace tesuko
