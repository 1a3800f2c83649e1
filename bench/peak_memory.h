// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace tesuko::bench {

// Runs work in a child process and returns how far its resident memory rose
// above what it held when the work began (the high-water mark, in bytes).
std::optional<std::uint64_t> peakMemoryAboveBaseline(const std::function<void()>& work);

}  // namespace tesuko::bench
