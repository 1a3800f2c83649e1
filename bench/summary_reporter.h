// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace tesuko::bench {

// The console report, then the figures that matter side by side: throughput,
// the distance to `cat` (timed by run.sh, passed as TESUKO_CAT_SECONDS_<log>),
// the gain over the literal algorithm, incremental scans and peak memory.
class SummaryReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override;
    void printSummary(std::ostream& out) const;

  private:
    struct Result {
        double seconds = 0;  // real time per iteration
        double cpuSeconds = 0;
        std::map<std::string, double> counters;
        std::string error;
    };

    const Result* find(const std::string& name) const;
    void printLogRow(std::ostream& out, const std::string& label) const;

    std::map<std::string, Result> results_;
    std::vector<std::string> labels_;
};

}  // namespace tesuko::bench
