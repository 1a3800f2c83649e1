// SPDX-License-Identifier: GPL-3.0-or-later
// Stored settings text is outside the program's control: the log location
// read from it must hold its invariants for any bytes, and a chosen file,
// stored as its URL, must be read back as exactly that file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fakes/fake_file_system.h"
#include "fakes/fake_home_folder.h"
#include "fakes/fake_system_log.h"
#include "fakes/fake_user_defaults.h"
#include "log/log_location.h"
#include "settings/file_url.h"
#include "settings/setting.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    tesuko::FakeUserDefaults defaults;
    tesuko::FakeSystemLog systemLog;
    tesuko::FakeHomeFolder home("/home/u");
    tesuko::FakeFileSystem fileSystem;
    const auto read = [&](const std::string& stored) {
        defaults.set(tesuko::Setting::kSaveFilePathKey, stored);
        return tesuko::logLocationFromSettings(defaults, systemLog, home, fileSystem);
    };

    const tesuko::LogLocation location = read(text);
    if (!location.folder.starts_with('/') || !location.folder.ends_with('/') ||
        location.fileName.empty() || location.fileName.find('/') != std::string::npos) {
        std::abort();
    }
    const std::string chosen = "/" + text;
    if (!chosen.ends_with('/') && read(tesuko::fileUrlFromPath(chosen)).path() != chosen) {
        std::abort();
    }
    return 0;
}
