#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tesuko {

// Positions by name bytes. The ranking looks up a name for every record, so
// this is open addressing in a power-of-two table with a hash and a compare
// that read a short name in two loads, rather than a node per name and a
// division; lookups are inline for the scanning loop.
class NameIndex {
  public:
    std::optional<std::size_t> find(std::string_view name) const {
        if (slots_.empty()) {
            return std::nullopt;
        }
        const Slot& slot = slots_[slotFor(hashOf(name), name)];
        if (slot.key == kEmpty) {
            return std::nullopt;
        }
        return slot.position;
    }
    // For a name not in the index yet.
    void insert(std::string_view name, std::size_t position);

  private:
    static constexpr std::uint32_t kEmpty = UINT32_MAX;

    struct Slot {
        std::uint64_t hash = 0;
        std::uint32_t key = kEmpty;  // into keys_
        std::uint32_t position = 0;
    };

    template <typename Word>
    static std::uint64_t load(const char* bytes) {
        Word word;
        std::memcpy(&word, bytes, sizeof word);
        return word;
    }

    // Every word of the name, the last one overlapping the one before; a
    // multiply and a shift, as the lookup runs for every record.
    static std::uint64_t hashOf(std::string_view name) {
        const char* p = name.data();
        const std::size_t n = name.size();
        std::uint64_t first = 0;
        std::uint64_t last = 0;
        if (n >= 8) {
            first = load<std::uint64_t>(p);
            last = load<std::uint64_t>(p + n - 8);
            for (std::size_t i = 8; i + 8 < n; i += 8) {
                first = (first ^ load<std::uint64_t>(p + i)) * 0x9e3779b97f4a7c15ull;
            }
        } else if (n >= 4) {
            first = load<std::uint32_t>(p);
            last = load<std::uint32_t>(p + n - 4);
        } else if (n > 0) {
            first = static_cast<unsigned char>(p[0]) | (std::uint64_t(p[n / 2] & 0xff) << 8);
            last = static_cast<unsigned char>(p[n - 1]);
        }
        std::uint64_t h = (first ^ n) * 0xff51afd7ed558ccdull ^ last * 0xc4ceb9fe1a85ec53ull;
        return h ^ (h >> 29);
    }

    static bool same(std::string_view a, std::string_view b) {
        const std::size_t n = a.size();
        if (n != b.size()) {
            return false;
        }
        if (n >= 8 && n <= 16) {
            return load<std::uint64_t>(a.data()) == load<std::uint64_t>(b.data()) &&
                   load<std::uint64_t>(a.data() + n - 8) == load<std::uint64_t>(b.data() + n - 8);
        }
        return std::memcmp(a.data(), b.data(), n) == 0;
    }

    std::size_t slotFor(std::uint64_t hash, std::string_view name) const {
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            const Slot& slot = slots_[i];
            if (slot.key == kEmpty || (slot.hash == hash && same(keys_[slot.key], name))) {
                return i;
            }
        }
    }

    void grow();

    std::vector<Slot> slots_;  // at most half full
    std::vector<std::string> keys_;
};

}  // namespace tesuko
