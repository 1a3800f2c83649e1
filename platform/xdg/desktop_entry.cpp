// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/xdg/desktop_entry.h"

#include <map>

namespace tesuko {

namespace {

constexpr std::string_view kWhitespace = " \t\r\n";
constexpr std::string_view kMainGroup = "Desktop Entry";

std::string_view trim(std::string_view text) {
    std::size_t first = text.find_first_not_of(kWhitespace);
    if (first == std::string_view::npos) {
        return {};
    }
    std::size_t last = text.find_last_not_of(kWhitespace);
    return text.substr(first, last - first + 1);
}

// Key file string escapes: \s \n \t \r \\. Other backslashes are kept, since
// many entries write the Exec quoting escapes (\" \$) without doubling them.
std::string unescapeValue(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (value[i + 1]) {
            case 's':
                out += ' ';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case '\\':
                out += '\\';
                break;
            default:
                out += '\\';
                continue;
        }
        ++i;
    }
    return out;
}

std::string escapeValue(std::string_view value) {
    std::string out;
    for (char c : value) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

using Keys = std::map<std::string, std::string, std::less<>>;

// The keys of the main group, first occurrence kept; nothing for a broken file.
std::optional<Keys> mainGroupKeys(std::string_view text) {
    Keys keys;
    std::optional<std::string_view> group;
    bool sawMainGroup = false;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']') {
            group = line.substr(1, line.size() - 2);
            sawMainGroup = sawMainGroup || group == kMainGroup;
            continue;
        }
        std::size_t equals = line.find('=');
        if (!group || equals == std::string_view::npos || trim(line.substr(0, equals)).empty()) {
            return std::nullopt;
        }
        if (group == kMainGroup) {
            keys.emplace(trim(line.substr(0, equals)), trim(line.substr(equals + 1)));
        }
    }
    if (!sawMainGroup) {
        return std::nullopt;
    }
    return keys;
}

bool isTrue(const Keys& keys, std::string_view key, bool absent) {
    auto found = keys.find(key);
    return found == keys.end() ? absent : found->second == "true";
}

// Builds the arguments of an Exec value one character at a time.
class ExecSplitter {
  public:
    explicit ExecSplitter(std::string_view exec) : exec_(exec) {}

    std::optional<std::vector<std::string>> split() {
        while (pos_ < exec_.size()) {
            if (!step()) {
                return std::nullopt;
            }
        }
        finishArgument();
        if (args_.empty()) {
            return std::nullopt;
        }
        return std::move(args_);
    }

  private:
    bool step() {
        char c = exec_[pos_++];
        if (kWhitespace.find(c) != std::string_view::npos) {
            finishArgument();
            return true;
        }
        if (c == '"') {
            return doubleQuoted();
        }
        if (c == '\'') {
            return singleQuoted();
        }
        if (c == '%') {
            return fieldCode();
        }
        if (c == '\\' && pos_ < exec_.size()) {
            c = exec_[pos_++];
        }
        literal(c);
        return true;
    }

    bool doubleQuoted() {
        started_ = true;
        while (pos_ < exec_.size()) {
            char c = exec_[pos_++];
            if (c == '"') {
                return true;
            }
            if (c == '%') {
                if (!fieldCode()) {
                    return false;
                }
                continue;
            }
            if (c == '\\' && pos_ < exec_.size() &&
                std::string_view("\"`$\\").find(exec_[pos_]) != std::string_view::npos) {
                c = exec_[pos_++];
            }
            current_ += c;
        }
        return false;
    }

    bool singleQuoted() {
        started_ = true;
        std::size_t close = exec_.find('\'', pos_);
        if (close == std::string_view::npos) {
            return false;
        }
        current_ += exec_.substr(pos_, close - pos_);
        pos_ = close + 1;
        return true;
    }

    bool fieldCode() {
        if (pos_ == exec_.size()) {
            return false;
        }
        char code = exec_[pos_++];
        if (code == '%') {
            literal('%');
            return true;
        }
        return std::string_view("fFuUdDnNickvm").find(code) != std::string_view::npos;
    }

    void literal(char c) {
        started_ = true;
        current_ += c;
    }

    // An argument made of field codes alone vanishes with them.
    void finishArgument() {
        if (started_) {
            args_.push_back(std::move(current_));
        }
        current_.clear();
        started_ = false;
    }

    std::string_view exec_;
    std::size_t pos_ = 0;
    std::vector<std::string> args_;
    std::string current_;
    bool started_ = false;
};

}  // namespace

std::optional<DesktopEntry> parseDesktopEntry(std::string_view text) {
    std::optional<Keys> keys = mainGroupKeys(text);
    if (!keys) {
        return std::nullopt;
    }
    DesktopEntry entry;
    if (auto type = keys->find("Type"); type != keys->end()) {
        entry.type = unescapeValue(type->second);
    }
    if (auto exec = keys->find("Exec"); exec != keys->end()) {
        entry.exec = unescapeValue(exec->second);
    }
    entry.hidden = isTrue(*keys, "Hidden", false);
    entry.autostartEnabled = isTrue(*keys, "X-GNOME-Autostart-enabled", true);
    return entry;
}

std::optional<std::vector<std::string>> splitExec(std::string_view exec) {
    return ExecSplitter(exec).split();
}

std::string execValueFor(std::string_view programPath) {
    std::string quoted = "\"";
    for (char c : programPath) {
        if (std::string_view("\"`$\\").find(c) != std::string_view::npos) {
            quoted += '\\';
        } else if (c == '%') {
            quoted += '%';
        }
        quoted += c;
    }
    quoted += '"';
    return escapeValue(quoted);
}

std::string desktopEntryFor(std::string_view programPath) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=tesuko\n"
           "Comment=Records which application is in front, and for how long\n"
           "Exec=" +
           execValueFor(programPath) +
           "\n"
           // Without the program (a build moved away) the desktop skips the
           // entry quietly instead of failing to start it.
           "TryExec=" +
           escapeValue(programPath) +
           "\n"
           "Icon=" +
           std::string(kApplicationId) +
           "\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n"
           // A tray icon needs a tray: start after the panel is up.
           "X-GNOME-Autostart-Delay=2\n"
           "X-KDE-autostart-after=panel\n";
}

}  // namespace tesuko
