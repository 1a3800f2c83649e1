// SPDX-License-Identifier: GPL-3.0-or-later
#include "ranking/log.h"

namespace tesuko {

Log::Log(FileSystem& fileSystem, SystemLog& systemLog, std::function<std::string()> logPath)
    : fileSystem_(fileSystem), logPath_(std::move(logPath)), scanner_(systemLog) {}

bool Log::scanLogPart(std::uint64_t bytes) {
    scanner_.scan(fileSystem_, logPath_(), ownAppends_ ? ownAppends_() : std::nullopt, bytes);
    return scanner_.scanner().caughtUp();
}

RankList Log::getRankLog() const {
    return scanner_.scanner().ranks();
}

void Log::setTotalsCache(std::unique_ptr<TotalsCache> cache) {
    scanner_.setCache(std::move(cache));
}

}  // namespace tesuko
