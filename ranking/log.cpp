#include "ranking/log.h"

#include "recorder/log_location.h"

namespace tesuko {

Log::Log(FileSystem& fileSystem, UserDefaults& defaults, SystemLog& systemLog, HomeFolder& home)
    : fileSystem_(fileSystem),
      defaults_(defaults),
      systemLog_(systemLog),
      home_(home),
      scanner_(systemLog) {}

void Log::scanLog() {
    std::string path = logPath(defaults_, systemLog_, home_);
    resumeFromCache();
    scanner_.scan(fileSystem_, path);
    saveToCache();
}

RankList Log::getRankLog() const {
    return scanner_.ranks();
}

void Log::setTotalsCache(std::unique_ptr<TotalsCache> cache) {
    cache_ = std::move(cache);
    cacheRead_ = false;
}

void Log::resumeFromCache() {
    if (!cache_ || cacheRead_) {
        return;
    }
    cacheRead_ = true;
    std::optional<ScanState> state = cache_->load();
    if (state) {
        savedPosition_ = state->position;
        scanner_.resume(std::move(*state));
    }
}

void Log::saveToCache() {
    const ScanState& state = scanner_.state();
    if (!cache_ || savedPosition_ == state.position) {
        return;
    }
    cache_->save(state);
    savedPosition_ = state.position;
}

}  // namespace tesuko
