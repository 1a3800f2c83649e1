#pragma once

#include <cstdint>
#include <random>
#include <string>

namespace tesuko::bench {

// Switch records like the recorder's: 60 applications, some with Japanese
// names and titles, about 106 bytes a record.
class LogGenerator {
  public:
    explicit LogGenerator(std::uint64_t seed) : random_(seed) {}

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
    std::uint64_t secondOfDay_ = 9 * 3600;
};

}  // namespace tesuko::bench
