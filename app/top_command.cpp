// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/top_command.h"

#include <charconv>

#include "log/log_location.h"
#include "ranking/log_scanner.h"
#include "ranking/rank_rows.h"
#include "text/utf8.h"

namespace tesuko {

namespace {

constexpr std::string_view kLogOption = "--log";
constexpr std::string_view kLogOptionWithValue = "--log=";

std::optional<std::size_t> rowCount(const std::string& text) {
    std::size_t rows = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), rows);
    if (error != std::errc{} || end != text.data() + text.size() || rows == 0) {
        return std::nullopt;
    }
    return rows;
}

}  // namespace

bool isTopCommand(std::span<const std::string> args) {
    return !args.empty() && args.front() == "--top";
}

std::variant<TopOptions, std::string> parseTopArguments(std::span<const std::string> args) {
    if (!isTopCommand(args)) {
        return std::string("expected --top");
    }
    TopOptions options;
    bool rowsGiven = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == kLogOption || arg.starts_with(kLogOptionWithValue)) {
            const bool separate = arg == kLogOption;
            if (options.logFile) {
                return std::string("--log given twice");
            }
            if (separate ? i + 1 == args.size() : arg.size() == kLogOptionWithValue.size()) {
                return std::string("--log needs a FILE");
            }
            options.logFile = separate ? args[++i] : arg.substr(kLogOptionWithValue.size());
        } else if (auto rows = rowCount(arg); rows && !rowsGiven) {
            options.rows = *rows;
            rowsGiven = true;
        } else if (arg.starts_with('-')) {
            return "unrecognized option '" + arg + "'";
        } else {
            return "unexpected argument '" + arg + "' (N is one whole number of at least 1)";
        }
    }
    return options;
}

int runTopCommand(std::span<const std::string> args, FileSystem& fileSystem, UserDefaults& defaults,
                  SystemLog& systemLog, HomeFolder& home, std::ostream& out, std::ostream& err,
                  TopOutput output) {
    auto parsed = parseTopArguments(args);
    if (auto* problem = std::get_if<std::string>(&parsed)) {
        err << "tesuko: " << *problem << '\n' << kTryHelp << '\n';
        return 2;
    }
    const TopOptions& options = std::get<TopOptions>(parsed);
    std::string path = options.logFile ? *options.logFile : logPath(defaults, systemLog, home);
    LogScanner scanner(systemLog);
    if (auto error = scanner.scan(fileSystem, path)) {
        err << "tesuko: cannot read the activity log " << path << ": " << *error << '\n';
        return 1;
    }
    for (const std::string& title : rankRowTitles(scanner.ranks(), options.rows)) {
        out << (output == TopOutput::terminal ? utf8::terminalSafe(title) : title) << '\n';
    }
    return 0;
}

}  // namespace tesuko
