#include "settings/setting.h"

#include "settings/file_url.h"

namespace tesuko {

void Setting::setFilePath(const std::string& value) {
    defaults_.set(kSaveFilePathKey, value);
    defaults_.synchronize();
    log_.line("書き込みました" + defaults_.string(kSaveFilePathKey).value_or("(null)") +
              "書き込み");
}

std::optional<std::string> Setting::getFilePath() const {
    auto stored = defaults_.string(kSaveFilePathKey);
    if (!stored) {
        return std::nullopt;
    }
    return percentDecode(*stored);
}

}  // namespace tesuko
