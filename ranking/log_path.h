#pragma once

#include <string>

#include "platform/home_folder.h"
#include "platform/system_log.h"
#include "platform/user_defaults.h"

namespace tesuko {

// The log the ranking reads: the stored location, read through a fresh
// Setting, or the recorder's default location while none is stored.
std::string rankedLogPath(UserDefaults& defaults, SystemLog& systemLog, HomeFolder& home);

}  // namespace tesuko
