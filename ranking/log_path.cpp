#include "ranking/log_path.h"

#include "recorder/log_location.h"
#include "settings/file_url.h"
#include "settings/setting.h"

namespace tesuko {

std::string rankedLogPath(UserDefaults& defaults, SystemLog& systemLog, HomeFolder& home) {
    std::optional<std::string> stored = Setting(defaults, systemLog).getFilePath();
    if (!stored) {
        return defaultLogPath(home.path());
    }
    return pathFromUrlText(*stored);
}

}  // namespace tesuko
