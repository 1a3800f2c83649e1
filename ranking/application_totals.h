// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ranking/name_index.h"
#include "ranking/rank_list.h"

namespace tesuko {

// Seconds summed per application name, in order of first appearance.
class ApplicationTotals {
  public:
    // Totals saved earlier, in order of first appearance; nullopt unless every
    // name is valid UTF-8 and appears once.
    static std::optional<ApplicationTotals> restored(RankList applications);

    // Adds to the name's total; a name not seen before goes at the end. Bytes
    // that are not valid UTF-8 read as U+FFFD, so names that differ only there
    // are one application.
    void add(std::string_view name, double seconds);
    // The same for a name in a buffer readable for NameIndex::kReadAhead
    // bytes from the name's start: the scanner's, for every record. Returns
    // the name's position.
    std::size_t addInBuffer(std::string_view name, double seconds) {
        if (auto position = positions_.findInBuffer(name)) {
            applications_[*position].seconds += seconds;
            return *position;
        }
        return addFirstSeen(name, seconds);
    }

    // Where the name's total is, if it has one.
    std::optional<std::size_t> positionOf(std::string_view name) const;
    // The name as the ranking shows it: invalid UTF-8 read as U+FFFD.
    static std::string nameAsText(std::string_view name);

    // In order of first appearance.
    const RankList& applications() const { return applications_; }
    bool empty() const { return applications_.empty(); }

  private:
    std::size_t addFirstSeen(std::string_view name, double seconds);

    RankList applications_;
    // Raw bytes as read, and the valid text they read as, to a position above.
    NameIndex positions_;
};

}  // namespace tesuko
