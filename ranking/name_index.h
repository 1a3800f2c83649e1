// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tesuko {

// Positions by name bytes. The ranking looks up a name for every record, so
// this is open addressing in a power-of-two table, and a name of up to 16
// bytes (nearly all of them) is kept in the table as two words: hashed and
// compared without a loop, a call or a branch on its length.
class NameIndex {
  public:
    // How far past a name's start findInBuffer may read.
    static constexpr std::size_t kReadAhead = 16;

    std::optional<std::size_t> find(std::string_view name) const {
        return find(Key::of(name), name);
    }
    // The same for a name in a buffer that stays readable for kReadAhead
    // bytes from the name's start: reads two whole words instead of copying.
    std::optional<std::size_t> findInBuffer(std::string_view name) const {
        return find(Key::inBuffer(name), name);
    }
    // For a name not in the index yet.
    void insert(std::string_view name, std::size_t position);

  private:
    static constexpr std::uint32_t kEmpty = UINT32_MAX;
    static constexpr std::size_t kShort = 16;

    // A short name as two words, zero past its end; a longer one by its hash,
    // compared with its text.
    struct Key {
        std::uint64_t low = 0;
        std::uint64_t high = 0;
        std::uint64_t hash = 0;
        std::uint32_t size = 0;

        static Key of(std::string_view name);
        static Key inBuffer(std::string_view name);
        static Key ofWords(std::uint64_t low, std::uint64_t high, std::size_t size);
    };

    struct Slot {
        std::uint64_t low = 0;  // for a longer name: where its text is in longNames_
        std::uint64_t high = 0;
        std::uint64_t hash = 0;
        std::uint32_t size = kEmpty;
        std::uint32_t position = 0;
    };

    static std::uint64_t mix(std::uint64_t x) {
        x ^= x >> 32;
        x *= 0xd6e8feb86659fd93ull;
        return x ^ (x >> 32);
    }

    std::optional<std::size_t> find(const Key& key, std::string_view name) const {
        if (slots_.empty()) {
            return std::nullopt;
        }
        const Slot& slot = slots_[slotFor(key, name)];
        if (slot.size == kEmpty) {
            return std::nullopt;
        }
        return slot.position;
    }

    std::size_t slotFor(const Key& key, std::string_view name) const {
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = key.hash >> shift_;; i = (i + 1) & mask) {
            const Slot& slot = slots_[i];
            if (slot.size == kEmpty) {
                return i;
            }
            if (slot.hash == key.hash && slot.size == key.size &&
                (key.size <= kShort ? slot.low == key.low && slot.high == key.high
                                    : longNames_[slot.low] == name)) {
                return i;
            }
        }
    }

    void grow();

    std::vector<Slot> slots_;  // at most a quarter full: a name is nearly always in its first slot
    unsigned shift_ = 64;      // 64 less log2 of the slot count
    std::vector<std::string> longNames_;
    std::size_t count_ = 0;
};

inline NameIndex::Key NameIndex::Key::ofWords(std::uint64_t low, std::uint64_t high,
                                              std::size_t size) {
    // Every bit of the words and the size moves the products' top bits, where
    // the slot is taken from: one multiply deep, for a lookup every record.
    std::uint64_t hash = (low ^ size) * 0x9e3779b97f4a7c15ull + high * 0xc2b2ae3d27d4eb4full;
    return Key{low, high, hash, std::uint32_t(size)};
}

inline NameIndex::Key NameIndex::Key::of(std::string_view name) {
    const std::size_t size = name.size();
    if (size > kShort) {
        std::uint64_t hash = size;
        for (std::size_t i = 0; i < size; i += 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, name.data() + i, std::min<std::size_t>(8, size - i));
            hash = mix(hash ^ word) * 0x9e3779b97f4a7c15ull;
        }
        return Key{0, 0, mix(hash), std::uint32_t(size)};
    }
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    if (size == 0) {
        return ofWords(low, high, size);
    }
    std::size_t lowSize = std::min<std::size_t>(size, 8);
    std::memcpy(&low, name.data(), lowSize);
    std::memcpy(&high, name.data() + lowSize, size - lowSize);
    return ofWords(low, high, size);
}

inline NameIndex::Key NameIndex::Key::inBuffer(std::string_view name) {
    const std::size_t size = name.size();
    if (std::endian::native != std::endian::little || size > kShort) {
        return of(name);
    }
    // keep[k]: the first k bytes of a little-endian word.
    static constexpr std::array<std::uint64_t, 9> keep = {0,
                                                          0xFF,
                                                          0xFFFF,
                                                          0xFFFFFF,
                                                          0xFFFFFFFF,
                                                          0xFFFFFFFFFFull,
                                                          0xFFFFFFFFFFFFull,
                                                          0xFFFFFFFFFFFFFFull,
                                                          ~0ull};
    std::uint64_t words[2];
    std::memcpy(words, name.data(), sizeof words);
    std::size_t lowSize = size < 8 ? size : 8;
    return ofWords(words[0] & keep[lowSize], words[1] & keep[size - lowSize], size);
}

}  // namespace tesuko
