// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/top_command.h"

#include <cstddef>
#include <optional>
#include <variant>

#include "app/option_parser.h"
#include "log/log_location.h"
#include "ranking/log_scanner.h"
#include "ranking/rank_rows.h"
#include "text/utf8.h"

namespace tesuko {

namespace {

struct TopOptions {
    std::size_t rows = 5;
    std::optional<std::string> logFile;  // the log the menu reads when none
};

constexpr Option kTopOptions[] = {{"--top", Option::Value::optional},
                                  {"--log", Option::Value::required}};

std::variant<TopOptions, std::string> parseTopArguments(std::span<const std::string> args,
                                                        const std::string& home) {
    auto given = parseOptions(args, kTopOptions);
    if (auto* problem = std::get_if<std::string>(&given)) {
        return *problem;
    }
    TopOptions options;
    for (const GivenOption& option : std::get<std::vector<GivenOption>>(given)) {
        if (option.name == "--log") {
            if (options.logFile) {
                return std::string("--top reads one --log");
            }
            options.logFile = fileValue(option, home);
        } else if (option.value) {
            auto rows = topRows(*option.value);
            if (auto* problem = std::get_if<std::string>(&rows)) {
                return *problem;
            }
            options.rows = std::get<std::size_t>(rows);
        }
    }
    return options;
}

}  // namespace

int runTopCommand(std::span<const std::string> args, FileSystem& fileSystem, UserDefaults& defaults,
                  SystemLog& systemLog, HomeFolder& home, std::ostream& out, std::ostream& err,
                  TopOutput output) {
    auto parsed = parseTopArguments(args, home.path());
    if (auto* problem = std::get_if<std::string>(&parsed)) {
        return usageError(err, *problem);
    }
    const TopOptions& options = std::get<TopOptions>(parsed);
    std::string path = options.logFile ? *options.logFile : logPath(defaults, systemLog, home);
    LogScanner scanner(systemLog);
    if (auto error = scanner.scan(fileSystem, path)) {
        err << "tesuko: cannot read the activity log " << path << ": " << *error << '\n';
        return 1;
    }
    if (scanner.ranks().empty()) {
        err << "tesuko: no records in the activity log " << path << '\n';
    }
    for (const std::string& title : rankRowTitles(scanner.ranks(), options.rows)) {
        out << (output == TopOutput::terminal ? utf8::terminalSafe(title) : title) << '\n';
    }
    return 0;
}

}  // namespace tesuko
