// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <random>
#include <string>

namespace tesuko::bench {

// Switch records like the recorder's: 60 applications, some with Japanese
// names and titles, about 106 bytes a record, one after another in time from
// 2017-01-01 09:00 on, each as long as its seconds say (up to longestSeconds).
// 3.7 million records with intervals of up to 170 s take ten years.
class LogGenerator {
  public:
    explicit LogGenerator(std::uint64_t seed, std::uint32_t longestSeconds = 600)
        : random_(seed), longestSeconds_(longestSeconds) {}

    void appendRecords(std::string& out, std::size_t count);
    std::string records(std::size_t count) {
        std::string out;
        appendRecords(out, count);
        return out;
    }
    // Writes a whole log in blocks; false when the file cannot be written.
    bool writeLog(const std::string& path, std::size_t count);

  private:
    void appendRecord(std::string& out);

    std::mt19937_64 random_;
    std::uint32_t longestSeconds_;
    // Wall-clock seconds since 1970-01-01 00:00, local time.
    std::int64_t wallSeconds_ = std::int64_t(17167) * 86400 + 9 * 3600;
};

}  // namespace tesuko::bench
