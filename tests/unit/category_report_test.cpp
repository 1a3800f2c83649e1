// SPDX-License-Identifier: GPL-3.0-or-later
// Reports by the rules from the table of windows per day, against a plain
// reading of the log with the rules applied naively.
#include <gtest/gtest.h>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <random>
#include <regex>
#include <tuple>

#include "categories/rule_file.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_system_log.h"
#include "report/classified_rows.h"
#include "report/interval_parts.h"
#include "tests/scoped_env.h"

namespace tesuko {
namespace {

constexpr const char* kLog = "/home/user/log.csv";
constexpr const char* kCache = "/home/user/.cache/tesuko/titles.cache";

struct Condition {
    std::string pattern;
    bool regex = false;
};
struct Rule {
    std::string category;
    std::optional<Condition> app;
    std::optional<Condition> title;
};

const Rule kRules[] = {
    {"Work/Code", {{"editor"}}, {{"tesuko|main\\.cpp", true}}},
    {"Work/Code", {}, {{"review.[0-9]+", true}}},
    {"Work/Mail", {{"mail"}}, {}},
    {"Work", {}, {{"budget"}}},
    {"Work/Chat", {{"^sl", true}}, {}},
    {"Play", {}, {{"^video", true}}},
    {"Play/Web", {{"firefox"}}, {}},
    {"Notes", {}, {{"notes$", true}}},
};
const char* const kApps[] = {"Editor", "Mail", "org.mozilla.firefox", "Terminal", "Slack"};
const char* const kWords[] = {"tesuko",   "Budget", "inbox",    "Video",
                              "main.cpp", "notes",  "Review 12"};

bool matches(const std::optional<Condition>& condition, const std::string& text) {
    if (!condition) {
        return true;
    }
    if (condition->regex) {
        return std::regex_search(text, std::regex(condition->pattern, std::regex::icase));
    }
    auto lower = [](std::string s) {
        std::ranges::transform(s, s.begin(), [](unsigned char c) { return std::tolower(c); });
        return s;
    };
    return lower(text).find(lower(condition->pattern)) != std::string::npos;
}

std::int32_t dayOf(const tm& local) {
    using namespace std::chrono;
    return sys_days(year(local.tm_year + 1900) / (local.tm_mon + 1) / local.tm_mday)
        .time_since_epoch()
        .count();
}

// Seconds by (category, shown name, day, title), from each line parsed on
// its own and split at local midnights by the C library.
using Sums = std::map<std::tuple<std::string, std::string, std::int32_t, std::string>, double>;
Sums naiveSums(const std::string& log, std::span<const Rule> rules) {
    Sums sums;
    char app[64], title[128];
    tm local{};
    long seconds = 0;
    for (std::size_t at = 0, end; (end = log.find('\n', at)) != std::string::npos; at = end + 1) {
        std::sscanf(log.substr(at, end - at).c_str(),
                    "%d年%d月%d日 %d時%d分%d秒,%63[^,],%127[^,],1,2,%ld", &local.tm_year,
                    &local.tm_mon, &local.tm_mday, &local.tm_hour, &local.tm_min, &local.tm_sec,
                    app, title, &seconds);
        local.tm_year -= 1900;
        local.tm_mon -= 1;
        local.tm_isdst = -1;
        std::string shown = std::string(app).starts_with("org.mozilla.") ? "Firefox" : app;
        auto rule = std::ranges::find_if(
            rules, [&](const Rule& r) { return matches(r.app, shown) && matches(r.title, title); });
        std::string category = rule == rules.end() ? "" : rule->category;
        for (time_t from = mktime(&local); seconds > 0;) {
            tm next = local;
            next.tm_mday += 1;
            next.tm_hour = next.tm_min = next.tm_sec = 0;
            next.tm_isdst = -1;
            time_t midnight = mktime(&next);
            long part = std::min<long>(seconds, midnight - from);
            sums[{category, shown, dayOf(local), title}] += part;
            seconds -= part;
            from = midnight;
            localtime_r(&from, &local);
        }
    }
    return sums;
}

// The sums on the range's days, by day or by title, in a category or all.
Sums sumsOf(const Sums& all, const DateRange& range, Grouping grouping,
            const std::optional<std::string>& within) {
    Sums sums;
    for (const auto& [key, seconds] : all) {
        const auto& [category, application, day, title] = key;
        if (range.contains(day) &&
            (!within || category == *within || category.starts_with(*within + "/"))) {
            const bool byDay = grouping == Grouping::day;
            sums[{category, application, byDay ? day : 0, byDay ? "" : title}] += seconds;
        }
    }
    return sums;
}

Sums sumsOf(const std::vector<ReportRow>& rows) {
    Sums sums;
    for (const ReportRow& row : rows) {
        sums[{row.category.value_or(""), row.application, row.day, row.title}] += row.seconds;
    }
    return sums;
}

// Random windows over days the clocks change in Berlin, whole seconds so that
// every way of adding them up is exact: the table kept through the cache,
// as the log grows, gives the rows the intervals give, and those the naive
// reading gives.
TEST(CategoryReportTest, RowsFromTheTableEqualTheIntervalsAndANaiveReadingOfRandomLogs) {
    const ScopedEnv zone("TZ", "Europe/Berlin");
    tzset();
    for (unsigned seed = 1; seed <= 4; ++seed) {
        std::mt19937 random(seed);
        auto pick = [&](std::size_t n) { return std::size_t(random() % n); };
        std::vector<Rule> rules(std::begin(kRules), std::end(kRules));
        std::shuffle(rules.begin(), rules.end(), random);
        rules.resize(3 + pick(rules.size() - 2));
        std::string rulesText = "alias /^org\\.mozilla\\./ = Firefox\n";
        for (const Rule& rule : rules) {
            rulesText += rule.category + " =";
            for (const auto& [name, c] : {std::pair("app", rule.app), {"title", rule.title}}) {
                rulesText += c ? std::string(" ") + name + (c->regex ? " /" : " ") + c->pattern +
                                     (c->regex ? "/" : "")
                               : "";
            }
            rulesText += '\n';
        }
        std::string log;
        for (time_t at = (seed % 2 ? 1774562400 : 1792533600) + time_t(pick(86400)),
                    last = at + 80 * 86400;
             at < last; at += time_t(pick(5 * 3600))) {
            tm local;
            localtime_r(&at, &local);
            tm again = local;
            again.tm_isdst = -1;
            if (mktime(&again) != at) {
                continue;  // the hour that occurs twice: its second occurrence is not written
            }
            std::string title = kWords[pick(std::size(kWords))];
            title += pick(2) ? std::string(" - ") + kWords[pick(std::size(kWords))] : "";
            char record[256];
            std::snprintf(record, sizeof record,
                          "%04d年%02d月%02d日 %02d時%02d分%02d秒,%s,%s,1,2,%zu.000000\n",
                          local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                          local.tm_min, local.tm_sec, kApps[pick(std::size(kApps))], title.c_str(),
                          1 + pick(30000));
            log += record;
        }
        FakeFileSystem files;
        FakeSystemLog systemLog;
        LocalDays localDays;
        Classifier classifier{RuleSet(parseRuleFile(rulesText))};
        ClassifiedTitles kept;
        const std::size_t half = log.find('\n', log.size() / 2) + 1;
        files.addFile(kLog, log.substr(0, half));
        for (const std::string& content : {log.substr(0, half), log}) {
            files.rewrite(kLog, content);  // grows as the recorder appends
            LogScanner scanner(systemLog, localDays);
            ASSERT_EQ(scanner.scan(files, kLog), std::nullopt);
            TitleDaysCache cache(files, systemLog, kCache);
            ASSERT_EQ(cache.update(scanner.state(), localDays, classifier, 1,
                                   {{INT32_MIN, INT32_MAX}}, kept),
                      std::nullopt);
        }
        const Sums naive = naiveSums(log, rules);
        const std::int32_t first = kept.days.entries().front().day;
        const std::int32_t block = (first / kBlockDays + 1) * kBlockDays;  // the cache's
        for (const DateRange range :
             {DateRange{first, first + 30}, DateRange{first + 1, first + 2},
              DateRange{first + 3, first + 6}, DateRange{first - 40, first + 90},
              DateRange{first + 10, first + 75}, DateRange{block, block + kBlockDays},
              DateRange{block, block + kBlockDays - 1}, DateRange{block + 1, block + kBlockDays}}) {
            LogScanner scanner(systemLog, localDays);
            ASSERT_EQ(scanner.scan(files, kLog), std::nullopt);
            std::vector<IntervalPart> parts;
            readIntervalParts(files, scanner.state(), range, localDays,
                              [&](const IntervalPart& part) { parts.push_back(part); });
            const ClassifiedTitles fromParts = classifiedParts(parts, classifier);
            for (Grouping grouping :
                 {Grouping::application, Grouping::day, Grouping::title, Grouping::category}) {
                for (const std::optional<std::string>& within :
                     {std::optional<std::string>(), {"Work"}}) {
                    const auto rows = classifiedRows({&kept, 1}, range, grouping, within);
                    EXPECT_EQ(rows, classifiedRows({&fromParts, 1}, range, grouping, within))
                        << seed << " " << int(grouping);
                    // As a report of the range reads the cache the last one saved.
                    ClassifiedTitles wanted;
                    TitleDaysCache again(files, systemLog, kCache);
                    ASSERT_EQ(again.update(scanner.state(), localDays, classifier, 1,
                                           {range, grouping == Grouping::day}, wanted),
                              std::nullopt);
                    EXPECT_EQ(rows, classifiedRows({&wanted, 1}, range, grouping, within))
                        << seed << " " << int(grouping);
                    if (range.days() > 2 * kBlockDays && grouping != Grouping::day) {
                        // A block wholly within stood as its sums.
                        EXPECT_LT(wanted.days.within(range).size(), kept.days.within(range).size());
                    }
                    if (grouping == Grouping::day || grouping == Grouping::title) {
                        EXPECT_EQ(sumsOf(rows), sumsOf(naive, range, grouping, within))
                            << seed << " " << int(grouping);
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace tesuko
