// SPDX-License-Identifier: GPL-3.0-or-later
#include "ranking/log.h"

namespace tesuko {

Log::Log(FileSystem& fileSystem, UserDefaults& defaults, SystemLog& systemLog, HomeFolder& home)
    : fileSystem_(fileSystem), pathLookup_(defaults, systemLog, home), scanner_(systemLog) {}

bool Log::scanLogPart(std::uint64_t bytes) {
    scanner_.scan(fileSystem_, pathLookup_.path(), ownAppends_ ? ownAppends_() : std::nullopt,
                  bytes);
    return scanner_.scanner().caughtUp();
}

RankList Log::getRankLog() const {
    return scanner_.scanner().ranks();
}

void Log::setTotalsCache(std::unique_ptr<TotalsCache> cache) {
    scanner_.setCache(std::move(cache));
}

}  // namespace tesuko
