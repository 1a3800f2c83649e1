// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/report_output.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>

#include "log/civil_day.h"
#include "log/switch_record.h"
#include "text/utf8.h"

namespace tesuko {

namespace {

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string out = "\"";
    for (char c : text) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    return out + "\"";
}

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    for (char c : utf8::valid(text)) {
        auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// Six decimals, as in the log; a number JSON accepts (infinities are not).
std::string secondsText(double seconds) {
    if (!std::isfinite(seconds)) {
        return "null";
    }
    std::string out;
    appendSeconds(out, seconds);
    return out;
}

// By category, the last part of its path, indented by its depth.
std::string rowName(const ReportRow& row, const ReportView& view) {
    if (view.grouping == Grouping::category) {
        const std::string path = categoryName(row.category);
        return std::string(2 * std::size_t(row.depth), ' ') + path.substr(path.rfind('/') + 1);
    }
    std::string name =
        view.grouping == Grouping::title ? row.application + " — " + row.title : row.application;
    return view.categorised ? name + " (" + categoryName(row.category) + ")" : name;
}

std::string headerName(const ReportView& view) {
    if (view.grouping == Grouping::category) {
        return "category";
    }
    if (view.grouping == Grouping::machine) {
        return "machine";
    }
    std::string name = view.grouping == Grouping::title ? "application — title" : "application";
    return view.categorised ? name + " (category)" : name;
}

}  // namespace

std::string hoursAndMinutes(double seconds) {
    if (!std::isfinite(seconds)) {
        return "-:--";
    }
    long long minutes = std::llround(std::fabs(seconds) / 60);
    char text[48];
    std::snprintf(text, sizeof text, "%s%lld:%02lld", seconds < 0 && minutes > 0 ? "-" : "",
                  minutes / 60, minutes % 60);
    return text;
}

std::string shareText(double seconds, double total) {
    double share = total > 0 ? 100.0 * seconds / total : 0.0;
    // to_chars, unlike printf, never writes the locale's decimal comma.
    std::array<char, 400> digits{};
    auto end = std::to_chars(digits.data(), digits.data() + digits.size(),
                             std::isfinite(share) ? share : 0.0, std::chars_format::fixed, 1)
                   .ptr;
    return std::string(digits.data(), end) + " %";
}

std::string isoLocalTime(std::int64_t epochSeconds, const LocalDays& localDays) {
    LocalDays::Moment moment = localDays.at(epochSeconds);
    CivilDate date = civilDate(moment.wall.day);
    std::int32_t second = moment.wall.second;
    std::int32_t offset = moment.offset;
    char sign = offset < 0 ? '-' : '+';
    offset = std::abs(offset);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", date.year,
                  date.month, date.day, int(second / 3600), int(second / 60 % 60), int(second % 60),
                  sign, int(offset / 3600), int(offset / 60 % 60));
    return text;
}

namespace {

// Whole numbers (of minutes, of tenths of a percent) for the amounts, adding
// up to the whole, rounded: each amount rounded down, and the units left over
// to the largest remainders. What of the whole the amounts leave out (rows
// --top dropped) takes its own units, unshown.
std::vector<double> apportion(const std::vector<double>& amounts, double whole) {
    std::vector<double> units;
    std::vector<std::pair<double, std::size_t>> remainders;
    double left = std::round(whole);
    double unshown = whole;
    for (double amount : amounts) {
        units.push_back(std::floor(amount));
        remainders.emplace_back(amount - units.back(), units.size() - 1);
        left -= units.back();
        unshown -= amount;
    }
    if (!std::isfinite(left)) {
        return units;
    }
    unshown = std::max(0.0, unshown);
    left -= std::floor(unshown);
    remainders.emplace_back(unshown - std::floor(unshown), amounts.size());
    std::stable_sort(remainders.begin(), remainders.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (std::size_t i = 0; i < remainders.size() && left >= 1; ++i, --left) {
        if (remainders[i].second < units.size()) {
            units[remainders[i].second] += 1;
        }
    }
    return units;
}

// By category: the top level's units apportioned within the whole, and each
// category's children within its units (its own time left unshown).
std::vector<double> apportionTree(const std::vector<ReportRow>& rows,
                                  const std::vector<double>& amounts, double whole) {
    constexpr std::size_t kTop = SIZE_MAX;
    std::map<std::size_t, std::vector<std::size_t>> children;
    std::vector<std::size_t> ancestors;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ancestors.resize(std::min(ancestors.size(), std::size_t(rows[i].depth)));
        children[ancestors.empty() ? kTop : ancestors.back()].push_back(i);
        ancestors.push_back(i);
    }
    std::vector<double> units(rows.size());
    auto share = [&](std::size_t parent, double within) {
        const std::vector<std::size_t>& below = children[parent];
        std::vector<double> parts;
        for (std::size_t child : below) {
            parts.push_back(amounts[child]);
        }
        const std::vector<double> apportioned = apportion(parts, within);
        for (std::size_t k = 0; k < below.size(); ++k) {
            units[below[k]] = apportioned[k];
        }
    };
    share(kTop, whole);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (children.contains(i)) {
            share(i, units[i]);  // a parent comes before its children
        }
    }
    return units;
}

// Each row's share in tenths of a percent, apportioned within its whole: the
// range's, or by day its day's.
std::vector<double> shareTenths(const ReportView& view) {
    const std::vector<ReportRow>& rows = view.rows;
    if (view.grouping == Grouping::category) {
        std::vector<double> parts;
        for (const ReportRow& row : rows) {
            parts.push_back(view.total > 0 ? 1000 * row.seconds / view.total : 0);
        }
        return apportionTree(rows, parts, 1000);
    }
    const bool byDay = view.grouping == Grouping::day;
    std::vector<double> tenths;
    for (std::size_t first = 0, end = 0; first < rows.size(); first = end) {
        const std::size_t dayIndex = std::size_t(rows[first].day - view.range.first);
        const double whole = !byDay                        ? view.total
                             : dayIndex < view.days.size() ? view.days[dayIndex].seconds
                                                           : 0;
        std::vector<double> parts;
        for (end = first; end < rows.size() && (!byDay || rows[end].day == rows[first].day);
             ++end) {
            parts.push_back(whole > 0 ? 1000 * rows[end].seconds / whole : 0);
        }
        const std::vector<double> apportioned = apportion(parts, 1000);
        tenths.insert(tenths.end(), apportioned.begin(), apportioned.end());
    }
    return tenths;
}

std::string midnightBefore(std::int32_t day, const LocalDays& localDays) {
    return isoLocalTime(localDays.dayStart(day), localDays);
}

void writeJsonRows(const ReportView& view, std::string_view indent, std::ostream& out) {
    out << '[';
    for (std::size_t i = 0; i < view.rows.size(); ++i) {
        const ReportRow& row = view.rows[i];
        out << (i == 0 ? "\n" : ",\n") << indent << "  {";
        if (view.grouping == Grouping::category) {
            out << "\"category\": " << jsonString(categoryName(row.category))
                << ", \"seconds\": " << secondsText(row.seconds) << '}';
            continue;
        }
        out << (view.grouping == Grouping::machine ? "\"machine\": " : "\"application\": ")
            << jsonString(row.application);
        if (view.categorised) {
            out << ", \"category\": " << jsonString(categoryName(row.category));
        }
        if (view.grouping == Grouping::day) {
            out << ", \"day\": \"" << isoDate(row.day) << '"';
        }
        if (view.grouping == Grouping::title) {
            out << ", \"title\": " << jsonString(row.title);
        }
        out << ", \"seconds\": " << secondsText(row.seconds) << '}';
    }
    if (!view.rows.empty()) {
        out << '\n' << indent;
    }
    out << ']';
}

}  // namespace

void writeTable(const ReportView& view, std::ostream& out) {
    out << exclusiveRangeText(view.range) << '\n';
    if (view.rows.empty()) {
        out << "no records in this range\n";
        return;
    }
    auto line = [&](const std::string& time, const std::string& share, const std::string& name) {
        out << std::string(time.size() < 7 ? 7 - time.size() : 0, ' ') << time
            << std::string(share.size() < 9 ? 9 - share.size() : 0, ' ') << share << "  "
            << utf8::terminalSafe(name) << '\n';
    };
    line("h:mm", "share", headerName(view));
    std::vector<double> minutes;
    for (const ReportRow& row : view.rows) {
        minutes.push_back(row.seconds / 60);
    }
    minutes = view.grouping == Grouping::category
                  ? apportionTree(view.rows, minutes, view.total / 60)
                  : apportion(minutes, view.total / 60);
    const std::vector<double> tenths = shareTenths(view);
    for (std::size_t i = 0; i < view.rows.size(); ++i) {
        const ReportRow& row = view.rows[i];
        if (view.grouping == Grouping::day && (i == 0 || view.rows[i - 1].day != row.day)) {
            out << isoDate(row.day) << '\n';
        }
        line(hoursAndMinutes(60 * minutes[i]), shareText(tenths[i], 1000), rowName(row, view));
    }
    line(hoursAndMinutes(view.total), shareText(view.total, view.total), "total");
}

void writeCsv(const ReportView& view, const LocalDays& localDays, std::ostream& out) {
    const bool byCategory = view.grouping == Grouping::category;
    out << "from,to," << (view.grouping == Grouping::day ? "day," : "")
        << (byCategory                           ? ""
            : view.grouping == Grouping::machine ? "machine,"
                                                 : "application,")
        << (view.grouping == Grouping::title ? "title," : "")
        << (view.categorised || byCategory ? "category," : "") << "seconds\r\n";
    const std::string rangeFrom = midnightBefore(view.range.first, localDays);
    const std::string rangeTo = midnightBefore(view.range.end, localDays);
    for (const ReportRow& row : view.rows) {
        if (view.grouping == Grouping::day) {
            out << midnightBefore(row.day, localDays) << ','
                << midnightBefore(row.day + 1, localDays) << ',' << isoDate(row.day) << ',';
        } else {
            out << rangeFrom << ',' << rangeTo << ',';
        }
        if (!byCategory) {
            out << csvField(row.application) << ',';
        }
        if (view.grouping == Grouping::title) {
            out << csvField(row.title) << ',';
        }
        if (view.categorised || byCategory) {
            out << csvField(categoryName(row.category)) << ',';
        }
        out << secondsText(row.seconds) << "\r\n";
    }
}

void writeJson(const ReportView& view, const LocalDays& localDays, std::ostream& out) {
    out << "{\n  \"from\": \"" << midnightBefore(view.range.first, localDays) << "\",\n  \"to\": \""
        << midnightBefore(view.range.end, localDays) << "\",\n  \"rows\": ";
    writeJsonRows(view, "  ", out);
    out << "\n}\n";
}

void writeJsonArray(const ReportView& view, std::ostream& out) {
    writeJsonRows(view, "", out);
    out << '\n';
}

void writeActivityWatch(const ReportView& view, const LocalDays& localDays, std::ostream& out) {
    auto startOf = [&](const IntervalPart& part) { return isoLocalTime(part.start, localDays); };
    const std::string bucket = jsonString("tesuko_" + view.host);
    out << "{\"buckets\": {" << bucket << ": {\"id\": " << bucket
        << ", \"type\": \"currentwindow\", \"client\": \"tesuko\", \"hostname\": "
        << jsonString(view.host) << ", \"created\": \""
        << (view.intervals.empty() ? midnightBefore(view.range.first, localDays)
                                   : startOf(view.intervals.front()))
        << "\", \"events\": [";
    for (std::size_t i = 0; i < view.intervals.size(); ++i) {
        const IntervalPart& part = view.intervals[i];
        out << (i == 0 ? "\n" : ",\n") << "  {\"timestamp\": \"" << startOf(part)
            << "\", \"duration\": " << secondsText(part.seconds)
            << ", \"data\": {\"app\": " << jsonString(part.application)
            << ", \"title\": " << jsonString(part.title) << "}}";
    }
    out << (view.intervals.empty() ? "]}}}\n" : "\n]}}}\n");
}

std::span<const ReportFormat> reportFormats() {
    static constexpr ReportFormat kFormats[] = {
        {"table", [](const ReportView& view, const LocalDays&,
                     std::ostream& out) { writeTable(view, out); }},
        {"csv", writeCsv},
        {"json", writeJson},
        {"json-array", [](const ReportView& view, const LocalDays&,
                          std::ostream& out) { writeJsonArray(view, out); }},
        {"aw-json", writeActivityWatch, true},
    };
    return kFormats;
}

const ReportFormat* reportFormatNamed(std::string_view name) {
    for (const ReportFormat& format : reportFormats()) {
        if (format.name == name) {
            return &format;
        }
    }
    return nullptr;
}

}  // namespace tesuko
