// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/peak_memory.h"

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <fstream>
#include <string>

namespace tesuko::bench {

namespace {

// A line such as "VmHWM:   1744 kB" of /proc/self/status, in bytes.
std::uint64_t statusBytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with(key + ":")) {
            return std::stoull(line.substr(key.size() + 1)) * 1024;
        }
    }
    return 0;
}

bool resetHighWaterMark() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    return bool(clear.flush());
}

}  // namespace

std::optional<std::uint64_t> peakMemoryAboveBaseline(const std::function<void()>& work) {
    int channel[2];
    if (::pipe(channel) != 0) {
        return std::nullopt;
    }
    pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        // Free memory the parent left in the heap would be reused without
        // showing: give it back first. The kernel's high-water mark misses
        // memory handed back before it is read, so from then on nothing is
        // handed back, and the peak shows in the resident size afterwards.
        ::malloc_trim(0);
        ::mallopt(M_MMAP_MAX, 0);
        ::mallopt(M_TRIM_THRESHOLD, INT_MAX);
        std::uint64_t rise = ~std::uint64_t(0);
        if (resetHighWaterMark()) {
            std::uint64_t baseline = statusBytes("VmRSS");
            work();
            rise = std::max(statusBytes("VmHWM"), statusBytes("VmRSS")) - baseline;
        }
        (void)!::write(channel[1], &rise, sizeof rise);
        ::_exit(0);
    }
    ::close(channel[1]);
    std::uint64_t rise = ~std::uint64_t(0);
    bool got = child > 0 && ::read(channel[0], &rise, sizeof rise) == sizeof rise;
    ::close(channel[0]);
    if (child > 0) {
        ::waitpid(child, nullptr, 0);
    }
    if (!got || rise == ~std::uint64_t(0)) {
        return std::nullopt;
    }
    return rise;
}

}  // namespace tesuko::bench
