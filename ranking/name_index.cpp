// SPDX-License-Identifier: GPL-3.0-or-later
#include "ranking/name_index.h"

#include <bit>

namespace tesuko {

void NameIndex::insert(std::string_view name, std::size_t position) {
    if ((count_ + 1) * 4 > slots_.size()) {
        grow();
    }
    Key key = Key::of(name);
    Slot& slot = slots_[slotFor(key, name)];
    slot = {key.low, key.high, key.hash, key.size, std::uint32_t(position)};
    if (name.size() > kShort) {
        slot.low = longNames_.size();
        longNames_.emplace_back(name);
    }
    ++count_;
}

void NameIndex::grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 64 : old.size() * 2, Slot{});
    shift_ = unsigned(64 - std::countr_zero(slots_.size()));
    std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.size == kEmpty) {
            continue;
        }
        std::size_t i = slot.hash >> shift_;
        while (slots_[i].size != kEmpty) {
            i = (i + 1) & mask;
        }
        slots_[i] = slot;
    }
}

}  // namespace tesuko
