// SPDX-License-Identifier: GPL-3.0-or-later
#include "ranking/cached_scanner.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <string_view>

#include "ranking/digest.h"

namespace tesuko {

namespace {

constexpr std::uint64_t kSampledBytes = 64 * 1024;

}  // namespace

std::optional<std::uint64_t> sampleOf(FileSystem& fileSystem, const ReadPosition& at) {
    Opened<FileReader> opened = fileSystem.openForReading(at.path);
    if (!opened.file || !opened.file->identity().sameFile(at.file)) {
        return std::nullopt;
    }
    const std::uint64_t headEnd = std::min(at.offset, kSampledBytes);
    const std::uint64_t tailStart =
        std::max(headEnd, at.offset - std::min(at.offset, kSampledBytes));
    std::string bytes(headEnd + (at.offset - tailStart), '\0');
    std::span<char> into(bytes);
    if (!readFully(*opened.file, 0, into.first(headEnd)) ||
        !readFully(*opened.file, tailStart, into.subspan(headEnd))) {
        return std::nullopt;
    }
    return digest(bytes);
}

std::optional<std::string> CachedScanner::scan(FileSystem& fileSystem, const std::string& path,
                                               const std::optional<OwnAppends>& ownAppends,
                                               std::uint64_t slice) {
    path_ = path;
    if (cache_ && !cacheRead_) {
        cacheRead_ = true;
        std::optional<ScanState> state = cache_->load();
        // A cache of this log also reads the same where it was sampled: a
        // file's identity can repeat (a new file given a freed inode, times
        // set by hand), and a cache can be edited.
        if (state && state->position.path == path &&
            sampleOf(fileSystem, state->position) == state->position.sample) {
            ReadPosition position = state->position;
            if (scanner_.resume(std::move(*state))) {
                savedPosition_ = position;
            }
        }
    }
    auto error = scanner_.scan(fileSystem, path, ownAppends, slice);
    if (cache_ && slice == LogScanner::kWholeFile && savedPosition_ != scanner_.state().position) {
        // Not saved when the file there is no longer the one counted: such a
        // cache would never match.
        if (auto sample = sampleOf(fileSystem, scanner_.state().position)) {
            scanner_.setSample(*sample);
            cache_->save(scanner_.state());
            savedPosition_ = scanner_.state().position;
        }
    }
    return error;
}

}  // namespace tesuko
