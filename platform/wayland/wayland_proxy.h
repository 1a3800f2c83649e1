// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

namespace tesuko {

// A Wayland object of ours, ended with its interface's own destroy request
// (or, for the display, the call that disconnects it). The function travels
// with the pointer: the scanner's request wrappers are static inline, so no
// type may name them.
template <typename T>
using WaylandProxy = std::unique_ptr<T, void (*)(T*)>;

}  // namespace tesuko
