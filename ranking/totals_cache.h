#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ranking/log_scanner.h"

namespace tesuko {

// Keeps the counted totals between runs, so that the first scan after launch
// reads only what the log gained meanwhile. What it holds is a hint: the
// scanner checks it against the log and counts the whole log when it does not
// match.
class TotalsCache {
  public:
    virtual ~TotalsCache() = default;

    virtual std::optional<std::string> load() = 0;
    virtual void save(std::string_view bytes) = 0;
};

// The stored form, ending in a checksum; nullopt for bytes that are damaged,
// of another version or not consistent.
std::string encodeScanState(const ScanState& state);
std::optional<ScanState> decodeScanState(std::string_view bytes);

// A cache in one private file, replaced whole on every save.
class FileTotalsCache : public TotalsCache {
  public:
    explicit FileTotalsCache(std::string path) : path_(std::move(path)) {}

    std::optional<std::string> load() override;
    void save(std::string_view bytes) override;

  private:
    std::string path_;
};

// "$XDG_CACHE_HOME/tesuko/totals.cache", or under "~/.cache" when the variable
// is unset, empty or not absolute.
std::string totalsCachePath(const std::optional<std::string>& xdgCacheHome,
                            const std::string& home);

}  // namespace tesuko
