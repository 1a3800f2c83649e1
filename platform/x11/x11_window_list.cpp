// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11/x11_window_list.h"

#include <algorithm>
#include <optional>
#include <span>

#include "platform/x11/xcb_reply.h"

namespace tesuko {

namespace {

constexpr std::uint32_t kMaxListedWindows = 65536;

// The windows of a list property; none when the property is not set, which
// differs from a list that is empty because no window is open.
std::optional<std::vector<xcb_window_t>> windowsOf(
    const XcbReply<xcb_get_property_reply_t>& reply) {
    if (!reply || reply->type != XCB_ATOM_WINDOW || reply->format != 32) {
        return std::nullopt;
    }
    auto* first = static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
    std::size_t count = static_cast<std::size_t>(xcb_get_property_value_length(reply.get())) / 4;
    return std::vector<xcb_window_t>(first, first + count);
}

std::vector<xcb_window_t> childrenOf(const XcbReply<xcb_query_tree_reply_t>& reply) {
    if (!reply) {
        return {};
    }
    const xcb_window_t* first = xcb_query_tree_children(reply.get());
    return {first, first + xcb_query_tree_children_length(reply.get())};
}

}  // namespace

X11WindowList::X11WindowList(const XcbConnection& connection, const X11Atoms& atoms,
                             const X11Workspace& workspace)
    : connection_(connection), atoms_(atoms), workspace_(workspace) {}

std::vector<WindowInfo> X11WindowList::onScreenWindows() {
    if (connection_.broken()) {
        return lastKnownWindows();
    }
    std::vector<xcb_window_t> stacked = stackedWindows();
    std::vector<WindowInfo> windows =
        onScreenInfos(fetchWindowFacts(connection_.get(), atoms_, stacked));
    // The server went away under the requests (before processEvents noticed).
    return connection_.broken() ? lastKnownWindows() : windows;
}

std::optional<WindowInfo> X11WindowList::frontMostWindow(
    const std::function<bool(const WindowInfo&)>& wanted) {
    if (connection_.broken()) {
        return WindowList::frontMostWindow(wanted);
    }
    const std::vector<xcb_window_t> stacked = stackedWindows();
    std::span<const xcb_window_t> rest(stacked);
    for (std::size_t step = 8; !rest.empty() && !connection_.broken(); step *= 4) {
        const std::size_t taken = std::min(step, rest.size());
        for (WindowInfo& window :
             onScreenInfos(fetchWindowFacts(connection_.get(), atoms_, rest.first(taken)))) {
            if (wanted(window)) {
                return std::move(window);
            }
        }
        rest = rest.subspan(taken);
    }
    // The server went away under the requests (before processEvents noticed).
    return connection_.broken() ? WindowList::frontMostWindow(wanted) : std::nullopt;
}

std::vector<xcb_window_t> X11WindowList::stackedWindows() const {
    xcb_connection_t* c = connection_.get();
    xcb_window_t root = connection_.root();
    // All three go out at once; the first list that exists wins.
    auto stackingCookie = xcb_get_property(c, 0, root, atoms_.netClientListStacking,
                                           XCB_ATOM_WINDOW, 0, kMaxListedWindows);
    auto clientsCookie =
        xcb_get_property(c, 0, root, atoms_.netClientList, XCB_ATOM_WINDOW, 0, kMaxListedWindows);
    auto treeCookie = xcb_query_tree(c, root);
    auto stacking = windowsOf(takeReply(xcb_get_property_reply, c, stackingCookie));
    auto clients = windowsOf(takeReply(xcb_get_property_reply, c, clientsCookie));
    std::vector<xcb_window_t> children = childrenOf(takeReply(xcb_query_tree_reply, c, treeCookie));

    if (stacking) {
        std::reverse(stacking->begin(), stacking->end());
        return *stacking;
    }
    if (clients) {
        return *clients;  // in no particular order
    }
    std::reverse(children.begin(), children.end());  // the tree lists bottom to top
    return children;
}

std::vector<WindowInfo> X11WindowList::lastKnownWindows() const {
    const ActiveWindow& active = workspace_.activeWindow();
    if (!active.application) {
        return {};
    }
    return {WindowInfo{active.application, active.title}};
}

std::vector<WindowInfo> onScreenInfos(const std::vector<WindowFacts>& windows) {
    std::vector<WindowInfo> infos;
    infos.reserve(windows.size());
    for (const WindowFacts& window : windows) {
        if (window.onScreen()) {
            infos.push_back(WindowInfo{window.application(), window.title});
        }
    }
    return infos;
}

}  // namespace tesuko
