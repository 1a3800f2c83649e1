// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/option_parser.h"

#include <algorithm>
#include <charconv>

namespace tesuko {

std::string_view optionName(std::string_view word) {
    return word.starts_with("--") ? word.substr(0, word.find('=')) : word;
}

std::optional<std::string> parseOptions(std::span<const std::string> args,
                                        std::span<const Option> known,
                                        const OptionHandler& handle) {
    using Value = Option::Value;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // "--" ends the options, and no command takes other words.
        if (arg == "--" && i + 1 == args.size()) {
            break;
        }
        if (arg == "--" || arg.size() < 2 || !arg.starts_with('-')) {
            return "unexpected argument '" + (arg == "--" ? args[i + 1] : arg) + "'";
        }
        auto option = std::ranges::find(known, optionName(arg), &Option::name);
        if (option == known.end()) {
            return "unrecognized option '" + arg + "'";
        }
        GivenOption found{option->name};
        const bool next = i + 1 < args.size() &&
                          (option->value == Value::required ||
                           (option->value == Value::optional && !args[i + 1].starts_with('-')));
        if (const std::size_t nameEnd = optionName(arg).size(); nameEnd < arg.size()) {
            found.value = arg.substr(nameEnd + 1);
            found.joined = true;
        } else if (next) {
            found.value = args[++i];
        }
        const std::string quoted = "option '" + std::string(option->name) + "'";
        if (option->value == Value::none && found.value) {
            return quoted + " doesn't allow an argument";
        }
        // An empty value names nothing, as much as a missing one.
        if (option->value == Value::required && found.value.value_or("").empty()) {
            return quoted + " requires an argument";
        }
        if (auto problem = handle ? handle(found) : std::nullopt) {
            return problem;
        }
    }
    return std::nullopt;
}

std::string invalidValue(std::string_view what, const std::string& value, std::string_view option,
                         std::string_view expected) {
    return "invalid " + std::string(what) + " '" + value + "' for " + std::string(option) + " (" +
           std::string(expected) + ")";
}

std::optional<std::string> readRowCount(const std::string& value,
                                        std::optional<std::size_t>& rows) {
    std::size_t count = 0;
    auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), count);
    if (error != std::errc{} || end != value.data() + value.size() || count == 0) {
        return invalidValue("number", value, "--top", "a whole number of at least 1");
    }
    rows = count;
    return std::nullopt;
}

std::string fileValue(const GivenOption& option, const std::string& home) {
    const std::string path = option.value.value_or("");
    const bool fromHome = option.joined && (path == "~" || path.starts_with("~/"));
    return fromHome ? home + path.substr(1) : path;
}

int usageError(std::ostream& err, const std::string& problem, std::string_view tryHelp) {
    err << "tesuko: " << problem << '\n' << tryHelp << '\n';
    return 2;
}

}  // namespace tesuko
