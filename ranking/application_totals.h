#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

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

    // In order of first appearance.
    const RankList& applications() const { return applications_; }
    bool empty() const { return applications_.empty(); }

  private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };

    void addFirstSeen(std::string_view name, double seconds);
    void indexAs(std::string_view key, std::size_t position);

    RankList applications_;
    // Raw bytes as read, and the valid text they read as, to a position above.
    std::unordered_map<std::string, std::size_t, Hash, std::equal_to<>> positions_;
};

}  // namespace tesuko
