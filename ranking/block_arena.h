// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sanitizer/asan_interface.h>
#include <algorithm>
#include <cstddef>
#include <memory>
#include <memory_resource>
#include <span>
#include <type_traits>
#include <vector>

namespace tesuko {

// Many small lists kept as long as their owner, in blocks that never move: a
// list taken here stays where it is when the owner is moved. The blocks double
// up to kLargestBlock, so a small owner stays small and a large one asks its
// memory resource for few large blocks (which the program backs with huge
// pages: a log of decades fills tens of megabytes of them).
template <typename T>
class BlockArena {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

  public:
    static constexpr std::size_t kFirstBlock = 4096 / sizeof(T);
    static constexpr std::size_t kLargestBlock = (std::size_t(2) << 20) / sizeof(T);

    explicit BlockArena(std::pmr::memory_resource* memory = std::pmr::get_default_resource())
        : memory_(memory) {}
    BlockArena(BlockArena&&) noexcept = default;
    BlockArena& operator=(BlockArena&&) noexcept = default;

    // Room for `count` values, default-initialised.
    std::span<T> take(std::size_t count) {
        if (blocks_.empty() || blocks_.back().size - used_ < count) {
            std::size_t next =
                blocks_.empty() ? kFirstBlock : std::min(blocks_.back().size * 2, kLargestBlock);
            blocks_.push_back(Block(*memory_, std::max(next, count)));
            used_ = 0;
        }
        T* taken = made(blocks_.back().values.get() + used_, count);
        used_ += count;
        return {taken, count};
    }

    // Lengthens `list`, the last taken, by `more` values if its block has the
    // room: false, and nothing changed, if not.
    bool extend(std::span<T>& list, std::size_t more) {
        if (blocks_.empty() || list.data() + list.size() != blocks_.back().values.get() + used_ ||
            blocks_.back().size - used_ < more) {
            return false;
        }
        made(list.data() + list.size(), more);
        list = {list.data(), list.size() + more};
        used_ += more;
        return true;
    }

  private:
    struct Release {
        std::pmr::memory_resource* memory;
        std::size_t size;
        void operator()(T* values) const {
            ASAN_UNPOISON_MEMORY_REGION(values, size * sizeof(T));
            memory->deallocate(values, size * sizeof(T), alignof(T));
        }
    };
    // Values are made only as they are taken, so a block's memory is not
    // touched before. Under AddressSanitizer the rest is out of bounds, as
    // past the end of a vector.
    static T* made(T* at, std::size_t count) {
        ASAN_UNPOISON_MEMORY_REGION(at, count * sizeof(T));
        std::uninitialized_default_construct_n(at, count);
        return at;
    }
    struct Block {
        Block(std::pmr::memory_resource& memory, std::size_t size)
            : size(size),
              values(static_cast<T*>(memory.allocate(size * sizeof(T), alignof(T))),
                     Release{&memory, size}) {
            ASAN_POISON_MEMORY_REGION(values.get(), size * sizeof(T));
        }
        std::size_t size;
        std::unique_ptr<T[], Release> values;
    };

    std::pmr::memory_resource* memory_;
    std::vector<Block> blocks_;
    std::size_t used_ = 0;  // in the last block
};

}  // namespace tesuko
