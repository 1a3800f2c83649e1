#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "ranking/log.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_home_folder.h"
#include "tests/fakes/fake_system_log.h"
#include "tests/fakes/fake_user_defaults.h"

namespace tesuko {

inline constexpr const char* kHomeLog = "/home/user/Desktop/TESUKO/log.csv";

inline void PrintTo(const RankedApplication& application, std::ostream* out) {
    *out << "{\"" << application.name << "\", " << application.seconds << "}";
}

// One switch record as the recorder writes it.
inline std::string record(const std::string& name, const std::string& seconds,
                          const std::string& title = "Report、draft") {
    return "2026年12月05日 13時40分48秒," + name + "," + title + ",3,10," + seconds + "\n";
}

// A Log over fakes, with nothing stored in the settings.
class RankingTest : public ::testing::Test {
  protected:
    RankList scan() {
        log.scanLog();
        return log.getRankLog();
    }
    void storeLocation(const std::string& urlText) { defaults.values["saveFilePath"] = urlText; }
    void append(const std::string& path, const std::string& bytes) {
        files.rewrite(path, files.content(path) + bytes);
    }

    FakeFileSystem files;
    FakeUserDefaults defaults;
    FakeSystemLog systemLog;
    FakeHomeFolder home{"/home/user"};
    Log log{files, defaults, systemLog, home};
};

}  // namespace tesuko
