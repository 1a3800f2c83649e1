// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/literal_ranking.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

namespace tesuko::bench {

namespace {

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (true) {
        std::size_t found = text.find(separator, start);
        if (found == std::string::npos) {
            pieces.push_back(text.substr(start));
            return pieces;
        }
        pieces.push_back(text.substr(start, found - start));
        start = found + 1;
    }
}

}  // namespace

RankList literalRanking(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<std::vector<std::string>> table;
    for (const std::string& piece : split(content, '\n')) {
        table.push_back(split(piece, ','));
    }

    std::vector<std::string> names;
    std::vector<double> totals;
    for (const auto& row : table) {
        if (row.size() < 6) {
            break;
        }
        double seconds = std::strtod(row[5].c_str(), nullptr);
        std::size_t k = 0;
        while (k < names.size() && names[k] != row[1]) {
            ++k;
        }
        if (k == names.size()) {
            names.push_back(row[1]);
            totals.push_back(seconds);
        } else {
            totals[k] += seconds;
        }
    }

    std::size_t n = totals.size();
    for (std::size_t i = 0; i + 1 < n; ++i) {
        for (std::size_t j = n - 1; j-- > i;) {
            if (totals[j + 1] > totals[j]) {
                std::swap(totals[j], totals[j + 1]);
                std::swap(names[j], names[j + 1]);
            }
        }
    }
    RankList ranks;
    for (std::size_t k = 0; k < n; ++k) {
        ranks.push_back({names[k], totals[k]});
    }
    return ranks;
}

}  // namespace tesuko::bench
