// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/top_command.h"

#include <cstddef>
#include <optional>

#include "app/option_parser.h"
#include "log/log_location.h"
#include "ranking/log_scanner.h"
#include "ranking/rank_rows.h"
#include "text/utf8.h"

namespace tesuko {

namespace {

struct TopOptions {
    std::optional<std::size_t> rows;     // 5 when none
    std::optional<std::string> logFile;  // the log the menu reads when none
};

constexpr Option kTopOptions[] = {{"--top", Option::Value::optional},
                                  {"--log", Option::Value::required}};

// Reads the arguments into `options`, or says what is wrong with them.
std::optional<std::string> readTopArguments(std::span<const std::string> args,
                                            const std::string& home, TopOptions& options) {
    return parseOptions(
        args, kTopOptions, [&](const GivenOption& option) -> std::optional<std::string> {
            if (option.name == "--top") {
                return option.value ? readRowCount(*option.value, options.rows) : std::nullopt;
            }
            if (options.logFile) {
                return "--top reads one --log";
            }
            options.logFile = fileValue(option, home);
            return std::nullopt;
        });
}

}  // namespace

int runTopCommand(std::span<const std::string> args, FileSystem& fileSystem, UserDefaults& defaults,
                  SystemLog& systemLog, HomeFolder& home, std::ostream& out, std::ostream& err,
                  TopOutput output) {
    TopOptions options;
    if (auto problem = readTopArguments(args, home.path(), options)) {
        return usageError(err, *problem);
    }
    std::string path = options.logFile
                           ? *options.logFile
                           : logLocationFromSettings(defaults, systemLog, home, fileSystem).path();
    LogScanner scanner(systemLog);
    if (auto error = scanner.scan(fileSystem, path)) {
        err << "tesuko: cannot read the activity log " << path << ": " << *error << '\n';
        return 1;
    }
    if (scanner.ranks().empty()) {
        err << "tesuko: no records in the activity log " << path << '\n';
    }
    for (const std::string& title : rankRowTitles(scanner.ranks(), options.rows.value_or(5))) {
        out << (output == TopOutput::terminal ? utf8::terminalSafe(title) : title) << '\n';
    }
    return 0;
}

}  // namespace tesuko
