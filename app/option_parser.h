// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace tesuko {

// The second line of every complaint about the command line, as GNU tools say it.
inline constexpr const char* kTryHelp = "Try 'tesuko --help' for more information.";

// An option a command knows. A value comes as the next word (`--log FILE`) or
// joined (`--log=FILE`); an optional one as the next word only when that is no
// option (`--top`, `--top 3`, `--top=3`).
struct Option {
    enum class Value { none, required, optional };
    std::string_view name;
    Value value = Value::none;
};

// An option as given.
struct GivenOption {
    std::string_view name;
    std::optional<std::string> value{};
    bool joined = false;  // given as --name=value, where no shell expanded a "~"
};

// The name of an option word: "--log" of "--log=FILE".
std::string_view optionName(std::string_view word);

// What each option as given is for: nullopt, or what is wrong with it.
using OptionHandler = std::function<std::optional<std::string>(const GivenOption&)>;

// Hands the options to `handle` in the order given. Returns the first mistake,
// worded as GNU tools word it, or what `handle` said was wrong. No command
// takes other words; "--" ends the options.
std::optional<std::string> parseOptions(std::span<const std::string> args,
                                        std::span<const Option> known,
                                        const OptionHandler& handle = {});

// What a value of an option is not: "invalid date 'x' for --since (YYYY-MM-DD)".
std::string invalidValue(std::string_view what, const std::string& value, std::string_view option,
                         std::string_view expected);

// Reads the N of `--top N`, a whole number of at least 1, into `rows`; or
// says what is wrong with it.
std::optional<std::string> readRowCount(const std::string& value, std::optional<std::size_t>& rows);

// A FILE value, with a leading "~" of --name=~/FILE read as the shell reads it
// in --name ~/FILE.
std::string fileValue(const GivenOption& option, const std::string& home);

// Writes the complaint and where to read more; returns the exit status, 2.
int usageError(std::ostream& err, const std::string& problem, std::string_view tryHelp = kTryHelp);

}  // namespace tesuko
