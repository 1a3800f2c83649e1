// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/huge_page_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>
#include <sstream>
#include <string>

namespace tesuko {
namespace {

constexpr std::size_t kHuge = HugePageMemory::kHugePage;

// The lines of /proc/self/smaps that describe the mapping holding `address`.
std::string mappingOf(const void* address) {
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    std::ifstream smaps("/proc/self/smaps");
    std::string found;
    bool inside = false;
    for (std::string line; std::getline(smaps, line);) {
        std::uintptr_t start = 0;
        std::uintptr_t end = 0;
        char dash = 0;
        if (std::istringstream(line) >> std::hex >> start >> dash >> end && dash == '-') {
            inside = start <= at && at < end;
        }
        if (inside) {
            found += line + '\n';
        }
    }
    return found;
}

TEST(HugePageMemoryTest, GivesLargeBlocksAlignedHugePageMappingsAndSmallOnesToTheOther) {
    // The smaller blocks' resource here has no memory at all.
    HugePageMemory memory(std::pmr::null_memory_resource());
    EXPECT_THROW((void)memory.allocate(kHuge - 1, 16), std::bad_alloc);

    const std::size_t size = kHuge + kHuge / 2;
    auto* large = static_cast<char*>(memory.allocate(size, 8));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(large) % kHuge, 0u);
    std::memset(large, 1, size);
    const std::string mapping = mappingOf(large);
    std::ostringstream range;
    range << std::hex << reinterpret_cast<std::uintptr_t>(large) << '-'
          << reinterpret_cast<std::uintptr_t>(large + 2 * kHuge) << ' ';
    EXPECT_TRUE(mapping.starts_with(range.str())) << "no more and no less:\n" << mapping;
    if (std::filesystem::exists("/sys/kernel/mm/transparent_hugepage")) {
        EXPECT_NE(mapping.find("VmFlags:"), std::string::npos) << mapping;
        EXPECT_NE(mapping.find(" hg"), std::string::npos) << "advised for huge pages:\n" << mapping;
    }

    memory.deallocate(large, size, 8);
    EXPECT_EQ(mappingOf(large + 2 * kHuge - 1), "") << "the mapping is gone";
}

}  // namespace
}  // namespace tesuko
