// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "fakes/fake_platform.h"
#include "recorder/recorder.h"

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

// Plays space-separated events: "+N" N seconds pass, "wall+N" and "wall-N" set
// the wall clock alone, stop, pause, resume and cut go to the recorder, and any
// other word brings the application of that name to the front.
inline void play(FakePlatform& fakes, Recorder& recorder, std::string_view events) {
    std::istringstream words{std::string(events)};
    for (std::string word; words >> word;) {
        if (word.starts_with('+')) {
            fakes.clock.advance(
                std::chrono::microseconds(static_cast<long long>(std::stod(word) * 1e6)));
        } else if (word.starts_with("wall")) {
            fakes.clock.setWall(fakes.clock.wallNow() +
                                std::chrono::seconds(std::stoi(word.substr(4))));
        } else if (word == "stop") {
            recorder.stop();
        } else if (word == "pause") {
            recorder.pause();
        } else if (word == "resume") {
            recorder.resume();
        } else if (word == "cut") {
            recorder.cutInterval();
        } else {
            fakes.workspace.switchTo(word);
        }
    }
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

    FakePlatform fakes;

  private:
    std::unique_ptr<Recorder> recorder_;
};

}  // namespace tesuko
