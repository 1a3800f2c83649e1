#pragma once

#include <string>

namespace tesuko {

// Where the log lives until the user chooses another file.
inline std::string defaultLogFolder(const std::string& home) {
    return home + "/Desktop/TESUKO";
}
inline std::string defaultLogPath(const std::string& home) {
    return defaultLogFolder(home) + "/log.csv";
}

}  // namespace tesuko
