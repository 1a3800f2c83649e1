#include "ranking/name_index.h"

namespace tesuko {

void NameIndex::insert(std::string_view name, std::size_t position) {
    if ((keys_.size() + 1) * 2 > slots_.size()) {
        grow();
    }
    std::uint64_t hash = hashOf(name);
    Slot& slot = slots_[slotFor(hash, name)];
    slot = {hash, std::uint32_t(keys_.size()), std::uint32_t(position)};
    keys_.emplace_back(name);
}

void NameIndex::grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 64 : old.size() * 2, Slot{});
    std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.key == kEmpty) {
            continue;
        }
        std::size_t i = slot.hash & mask;
        while (slots_[i].key != kEmpty) {
            i = (i + 1) & mask;
        }
        slots_[i] = slot;
    }
}

}  // namespace tesuko
