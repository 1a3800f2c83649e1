// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <memory_resource>

namespace tesuko {

// Gives each allocation of a huge page or more its own mapping, which the
// kernel is asked to back with huge pages; smaller ones go to `smaller`. The
// first touch of each small page of fresh memory costs a page fault, and
// under some hypervisors a fault costs over 10 µs: the tens of megabytes of
// day totals of a log of decades would spend a fifth of its first scan on them.
class HugePageMemory : public std::pmr::memory_resource {
  public:
    static constexpr std::size_t kHugePage = std::size_t(2) << 20;

    explicit HugePageMemory(std::pmr::memory_resource* smaller = std::pmr::new_delete_resource())
        : smaller_(smaller) {}

  private:
    void* do_allocate(std::size_t bytes, std::size_t alignment) override;
    void do_deallocate(void* pointer, std::size_t bytes, std::size_t alignment) override;
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
        return this == &other;
    }

    std::pmr::memory_resource* smaller_;
};

// Makes a HugePageMemory the default memory resource for the rest of the run.
void useHugePagesForLargeBlocks();

}  // namespace tesuko
