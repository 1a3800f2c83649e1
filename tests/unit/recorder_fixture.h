// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "recorder/recorder.h"
#include "tests/fakes/fake_platform.h"

namespace tesuko {

inline constexpr const char* kDefaultLog = "/home/user/Desktop/TESUKO/log.csv";

// Each record of the log without its start time.
inline std::vector<std::string> recordsAfterStart(const std::string& log) {
    std::vector<std::string> records;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        records.push_back(line.substr(line.find(',') + 1));
    }
    return records;
}

// A recorder over fakes, with the clock at 2026-12-05 13:40:48.9 UTC.
class RecorderTest : public ::testing::Test {
  protected:
    RecorderTest() {
        using namespace std::chrono;
        fakes.clock.setWall(sys_days{2026y / 12 / 5} + 13h + 40min + 48s + 900ms);
    }

    Recorder& recorder() {
        if (!recorder_) {
            recorder_ = std::make_unique<Recorder>(fakes.platform);
        }
        return *recorder_;
    }
    void destroyRecorder() { recorder_.reset(); }

    std::string log(const std::string& path = kDefaultLog) const {
        return fakes.fileSystem.content(path);
    }
    void advance(double seconds) {
        fakes.clock.advance(std::chrono::microseconds(static_cast<long long>(seconds * 1e6)));
    }
    void press(std::uint64_t kind, int times) {
        for (int i = 0; i < times; ++i) {
            fakes.inputMonitors.deliver(kind);
        }
    }
    bool logged(const std::string& line) const {
        const auto& lines = fakes.systemLog.lines;
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    bool loggedContaining(const std::string& part) const {
        const auto& lines = fakes.systemLog.lines;
        return std::any_of(lines.begin(), lines.end(),
                           [&](const std::string& l) { return l.find(part) != std::string::npos; });
    }

    FakePlatform fakes;

  private:
    std::unique_ptr<Recorder> recorder_;
};

}  // namespace tesuko
