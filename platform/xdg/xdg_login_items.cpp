// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/xdg/xdg_login_items.h"

#include <filesystem>
#include <map>

#include "platform/xdg/desktop_entry.h"
#include "platform/xdg/program_lookup.h"
#include "platform/xdg/xdg_config_dirs.h"

namespace tesuko {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxEntryBytes = 1 << 20;
constexpr int kMaxNameTries = 100;
constexpr std::string_view kProgramName = "tesuko";
constexpr std::string_view kReplacedProgram = " (deleted)";

std::string realPathOr(const std::string& path) {
    std::error_code error;
    fs::path real = fs::canonical(path, error);
    return error ? path : real.string();
}

// File name -> path, the first folder holding a name winning.
std::map<std::string, std::string> visibleEntries(HomeFolder& home) {
    std::map<std::string, std::string> entries;
    for (const std::string& folder : autostartFolders(home)) {
        std::error_code error;
        for (fs::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            std::string name = it->path().filename().string();
            if (name.ends_with(".desktop")) {
                entries.emplace(name, it->path().string());
            }
        }
    }
    return entries;
}

std::optional<DesktopEntry> readEntry(FileSystem& files, const std::string& path) {
    std::optional<std::string> text = files.readSmallFile(path, kMaxEntryBytes).bytes;
    return text ? parseDesktopEntry(*text) : std::nullopt;
}

std::optional<std::string> commandOf(const DesktopEntry& entry) {
    auto args = entry.exec ? splitExec(*entry.exec) : std::nullopt;
    return args ? std::optional(args->front()) : std::nullopt;
}

std::optional<std::string> programOf(const DesktopEntry& entry) {
    auto command = commandOf(entry);
    return command ? resolveProgram(*command) : std::nullopt;
}

// An entry of ours whose program is gone (the build folder moved, a package
// put the program elsewhere) can start nothing: it is replaced, not kept
// beside a new one.
bool isOursWithoutProgram(const DesktopEntry& entry) {
    auto command = commandOf(entry);
    return command && fs::path(*command).filename() == kProgramName && !resolveProgram(*command);
}

// The running program's path. An upgrade that replaced the file while we
// run leaves the link pointing at the old one, marked as deleted; the new
// file at the same path is the program to start next time.
std::string runningProgram() {
    std::error_code error;
    std::string path = fs::read_symlink("/proc/self/exe", error).string();
    if (error) {
        return "/proc/self/exe";
    }
    if (path.ends_with(kReplacedProgram)) {
        path.resize(path.size() - kReplacedProgram.size());
    }
    return realPathOr(path);
}

std::optional<std::string> resolveEntry(FileSystem& files, const std::string& path) {
    std::optional<DesktopEntry> entry = readEntry(files, path);
    if (!entry || !entry->startsAtLogin()) {
        return std::nullopt;
    }
    return programOf(*entry);
}

// A name is ours to write when every entry of that name, in any autostart
// folder, runs this same program or is ours without its program (or there is
// none): someone else's entry is neither replaced nor shadowed.
bool mayWrite(const std::vector<std::string>& folders, FileSystem& files, const std::string& name,
              const std::string& program) {
    for (const std::string& folder : folders) {
        std::string path = folder + "/" + name;
        if (!files.exists(path)) {
            continue;
        }
        std::optional<DesktopEntry> entry = readEntry(files, path);
        if (!entry || (programOf(*entry) != program && !isOursWithoutProgram(*entry))) {
            return false;
        }
    }
    return true;
}

std::string candidateName(int attempt) {
    return attempt == 1 ? "tesuko.desktop" : "tesuko-" + std::to_string(attempt) + ".desktop";
}

}  // namespace

XdgLoginItems::XdgLoginItems(HomeFolder& home, FileSystem& files,
                             std::optional<std::string> programPath)
    : home_(home), files_(files), programPath_(std::move(programPath)) {}

std::string XdgLoginItems::bundlePath() {
    return programPath_ ? realPathOr(*programPath_) : runningProgram();
}

std::optional<std::string> XdgLoginItems::insertLast(const std::string& path) {
    const std::vector<std::string> folders = autostartFolders(home_);
    const std::string& folder = folders.front();
    if (FileError error = files_.createDirectories(folder)) {
        return faultText(*error);
    }
    const std::string program = realPathOr(path);
    for (int attempt = 1; attempt <= kMaxNameTries; ++attempt) {
        std::string name = candidateName(attempt);
        if (mayWrite(folders, files_, name, program)) {
            FileError error = files_.replaceFile(folder + "/" + name, desktopEntryFor(path),
                                                 FileSystem::Access::asBefore);
            return error ? std::optional(faultText(*error)) : std::nullopt;
        }
    }
    return "every name from " + candidateName(1) + " to " + candidateName(kMaxNameTries) + " in " +
           folder + " belongs to another program";
}

std::vector<std::optional<std::string>> XdgLoginItems::snapshot() {
    std::vector<std::optional<std::string>> items;
    for (const auto& [name, path] : visibleEntries(home_)) {
        items.push_back(resolveEntry(files_, path));
    }
    return items;
}

}  // namespace tesuko
