// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/log_generator.h"

#include "log/civil_day.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <string_view>

namespace tesuko::bench {

namespace {

constexpr std::array<std::string_view, 60> kNames = {
    "Terminal",
    "Firefox",
    "Thunderbird",
    "LibreOffice Writer",
    "LibreOffice Calc",
    "GIMP",
    "Inkscape",
    "Visual Studio Code",
    "Emacs",
    "Vim",
    "Slack",
    "Discord",
    "Zoom",
    "Spotify",
    "VLC",
    "Nautilus",
    "Dolphin",
    "Konsole",
    "Chromium",
    "Evince",
    "Okular",
    "Krita",
    "Blender",
    "Audacity",
    "Kdenlive",
    "Obsidian",
    "Signal",
    "Telegram",
    "KeePassXC",
    "Calculator",
    "System Monitor",
    "Settings",
    "Files",
    "Text Editor",
    "Geary",
    "Evolution",
    "Rhythmbox",
    "Shotwell",
    "Transmission",
    "FileZilla",
    "Wireshark",
    "htop",
    "Steam",
    "Kate",
    "ターミナル",
    "メモ帳",
    "計算機",
    "カレンダー",
    "写真",
    "メール",
    "ブラウザ",
    "テキストエディタ",
    "一太郎",
    "秀丸エディタ",
    "ファイル",
    "設定",
    "地図",
    "天気",
    "辞書",
    "翻訳",
};

constexpr std::array<std::string_view, 12> kTitles = {
    "Quarterly report、draft 3 — edited by two people",
    "Inbox (12) — work account",
    "main.cpp — tesuko — build folder and tests",
    "議事録 2026年12月 — 下書き — 共有",
    "Untitled document 1 — saved copy of the plan",
    "Meeting notes for Tuesday afternoon in room 4",
    "プロジェクト計画書.odt — 編集中",
    "Search results for the project",
    "Budget 2027.ods — Sheet 1 of 4 — read only",
    "~/src/tesuko — bash — 120×40 — second tab",
    "写真の整理 — 2026年 夏休み — 家族",
    "Release checklist、final review",
};

}  // namespace

void LogGenerator::appendRecord(std::string& out) {
    std::uint64_t r = random_();
    auto micros = std::int64_t(r % (std::uint64_t(longestSeconds_) * 1000000));
    const CivilDate date = civilDate(std::int32_t(wallSeconds_ / 86400));
    const auto secondOfDay = int(wallSeconds_ % 86400);
    char start[64];
    std::snprintf(start, sizeof start, "%04d年%02d月%02d日 %02d時%02d分%02d秒", date.year,
                  date.month, date.day, secondOfDay / 3600, secondOfDay / 60 % 60,
                  secondOfDay % 60);
    std::string_view name = kNames[(r >> 8) % kNames.size()];
    std::string_view title = kTitles[(r >> 16) % kTitles.size()];
    char counts[96];
    std::snprintf(counts, sizeof counts, ",%d,%d,%.6f\n", int((r >> 24) % 120),
                  int((r >> 32) % 900), double(micros) / 1e6);
    out += start;
    out += ',';
    out += name;
    out += ',';
    out += title;
    out += counts;
    wallSeconds_ += micros / 1000000 + 1;
}

void LogGenerator::appendRecords(std::string& out, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        appendRecord(out);
    }
}

bool LogGenerator::writeLog(const std::string& path, std::size_t count) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    std::string block;
    for (std::size_t written = 0; written < count && file;) {
        std::size_t batch = std::min<std::size_t>(count - written, 100000);
        block.clear();
        appendRecords(block, batch);
        file.write(block.data(), std::streamsize(block.size()));
        written += batch;
    }
    return bool(file.flush());
}

}  // namespace tesuko::bench
