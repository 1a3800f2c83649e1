// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/switch_record.h"

#include <array>
#include <charconv>
#include <cstdio>

#include "log/civil_day.h"
#include "log/wall_start.h"
#include "text/utf8.h"

namespace tesuko {

namespace {

constexpr std::string_view kIdeographicComma = "\xE3\x80\x81";  // 、

void appendNumber(std::string& out, long long value, int minimumDigits) {
    std::array<char, 32> digits{};
    auto [end, error] = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    std::string_view text(digits.data(), std::size_t(end - digits.data()));
    bool negative = !text.empty() && text.front() == '-';
    if (negative) {
        out += '-';
        text.remove_prefix(1);
    }
    for (int pad = minimumDigits - int(text.size()); pad > 0; --pad) {
        out += '0';
    }
    out += text;
}

}  // namespace

std::string formatStartTime(const LocalTime& time) {
    std::string out;
    out.reserve(40);
    appendNumber(out, time.year, 4);
    out += "年";
    appendNumber(out, time.month, 2);
    out += "月";
    appendNumber(out, time.day, 2);
    out += "日 ";
    appendNumber(out, time.hour, 2);
    out += "時";
    appendNumber(out, time.minute, 2);
    out += "分";
    appendNumber(out, time.second, 2);
    out += "秒";
    return out;
}

std::optional<LocalTime> parseStartTime(std::string_view field) {
    const std::optional<WallStart> start = wallStartFromText(field);
    if (!start) {
        return std::nullopt;
    }
    const CivilDate date = civilDate(start->day);
    const int second = start->second;
    return LocalTime{date.year, date.month, date.day, second / 3600, second / 60 % 60, second % 60};
}

void appendFieldText(std::string& out, std::string_view text) {
    utf8::decode(text, [&](char32_t cp, std::string_view bytes) {
        if (cp == ',') {
            out += kIdeographicComma;
        } else if (cp < 0x20 || (cp >= 0x7F && cp <= 0x9F)) {  // C0, DEL and C1 controls
            out += ' ';
        } else if (cp == 0xFFFD && bytes != utf8::kReplacementCharacter) {
            out += utf8::kReplacementCharacter;
        } else {
            out += bytes;
        }
    });
}

std::string fieldText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    appendFieldText(out, text);
    return out;
}

void appendSeconds(std::string& out, double seconds) {
    // to_chars never consults the locale, unlike printf's %f.
    std::array<char, 400> digits{};
    auto [end, error] = std::to_chars(digits.data(), digits.data() + digits.size(), seconds,
                                      std::chars_format::fixed, 6);
    if (error != std::errc{}) {
        out += "0.000000";
        return;
    }
    out.append(digits.data(), end);
}

std::string composeRecord(const SwitchRecord& record) {
    std::string line = formatStartTime(record.start);
    line.reserve(line.size() + record.application.size() + record.title.size() + 48);
    line += ',';
    appendFieldText(line, record.application);
    line += ',';
    const std::size_t title = line.size();
    appendFieldText(line, record.title);
    line.resize(title + utf8::prefix(std::string_view(line).substr(title), kLongestTitle).size());
    line += ',';
    if (record.clicks) {
        appendNumber(line, *record.clicks, 1);
    }
    line += ',';
    if (record.keyPresses) {
        appendNumber(line, *record.keyPresses, 1);
    }
    line += ',';
    appendSeconds(line, record.seconds);
    line += '\n';
    return line;
}

}  // namespace tesuko
