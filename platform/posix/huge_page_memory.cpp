// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/huge_page_memory.h"

#include <sys/mman.h>

#include <cstdint>
#include <new>

namespace tesuko {

namespace {

constexpr std::uintptr_t roundedUp(std::uintptr_t value, std::size_t to) {
    return (value + to - 1) / to * to;
}

bool ownMapping(std::size_t bytes, std::size_t alignment) {
    return bytes >= HugePageMemory::kHugePage && alignment <= HugePageMemory::kHugePage;
}

}  // namespace

void* HugePageMemory::do_allocate(std::size_t bytes, std::size_t alignment) {
    if (!ownMapping(bytes, alignment)) {
        return smaller_->allocate(bytes, alignment);
    }
    // Huge pages need an aligned start: one more huge page is mapped, and
    // what lies outside the aligned stretch unmapped again.
    const std::size_t length = roundedUp(bytes, kHugePage);
    void* mapped = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) {
        throw std::bad_alloc();
    }
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = roundedUp(start, kHugePage);
    if (aligned > start) {
        ::munmap(mapped, aligned - start);
    }
    ::munmap(reinterpret_cast<void*>(aligned + length), kHugePage - (aligned - start));
    // A hint: where the kernel gives no huge pages the memory is as good.
    ::madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

void HugePageMemory::do_deallocate(void* pointer, std::size_t bytes, std::size_t alignment) {
    if (!ownMapping(bytes, alignment)) {
        smaller_->deallocate(pointer, bytes, alignment);
        return;
    }
    ::munmap(pointer, roundedUp(bytes, kHugePage));
}

void useHugePagesForLargeBlocks() {
    // What takes memory from it is made after it, so it is destroyed before.
    static HugePageMemory memory;
    std::pmr::set_default_resource(&memory);
}

}  // namespace tesuko
