// SPDX-License-Identifier: GPL-3.0-or-later
#include "ranking/cached_scanner.h"

namespace tesuko {

std::optional<std::string> CachedScanner::scan(FileSystem& fileSystem, const std::string& path,
                                               const std::optional<OwnAppends>& ownAppends,
                                               std::uint64_t slice) {
    path_ = path;
    if (cache_ && !cacheRead_) {
        cacheRead_ = true;
        std::optional<ScanState> state = cache_->load();
        ReadPosition position = state ? state->position : ReadPosition{};
        if (state && scanner_.resume(std::move(*state))) {
            savedPosition_ = position;
        }
    }
    auto error = scanner_.scan(fileSystem, path, ownAppends, slice);
    const ScanState& state = scanner_.state();
    if (cache_ && slice == LogScanner::kWholeFile && savedPosition_ != state.position) {
        cache_->save(state);
        savedPosition_ = state.position;
    }
    return error;
}

}  // namespace tesuko
