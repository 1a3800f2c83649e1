#include <filesystem>
#include <fstream>
#include <iterator>

#include "ranking/totals_cache.h"

namespace tesuko {

namespace fs = std::filesystem;

std::optional<std::string> FileTotalsCache::load() {
    std::ifstream in(path_, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Written beside and renamed over the old cache, so that a crash leaves the
// old cache or the new one, never half of one. Private: it holds application names.
void FileTotalsCache::save(std::string_view bytes) {
    std::error_code error;
    fs::path file(path_);
    fs::create_directories(file.parent_path(), error);
    fs::permissions(file.parent_path(), fs::perms::owner_all, fs::perm_options::replace, error);
    fs::path written = file;
    written += ".new";
    {
        std::ofstream out(written, std::ios::binary | std::ios::trunc);
        fs::permissions(written, fs::perms::owner_read | fs::perms::owner_write,
                        fs::perm_options::replace, error);
        out.write(bytes.data(), std::streamsize(bytes.size()));
        if (!out.flush()) {
            fs::remove(written, error);
            return;
        }
    }
    fs::rename(written, file, error);
}

std::string totalsCachePath(const std::optional<std::string>& xdgCacheHome,
                            const std::string& home) {
    bool usable = xdgCacheHome && !xdgCacheHome->empty() && xdgCacheHome->front() == '/';
    std::string folder = usable ? *xdgCacheHome : home + "/.cache";
    return folder + "/tesuko/totals.cache";
}

}  // namespace tesuko
