// SPDX-License-Identifier: GPL-3.0-or-later
#include "machines/machine_id.h"

#include <cstdint>
#include <cstdio>

namespace tesuko {

namespace {

std::string machineIdOf(const std::string& machineIdText) {
    // FNV-1a, 64 bits: the same on every build and machine, as a file name
    // in a shared folder must be. The prefix keeps it ours alone.
    std::uint64_t hash = 0xcbf29ce484222325u;
    const std::string text = "tesuko machine " + machineIdText;
    for (const unsigned char byte : text) {
        hash = (hash ^ byte) * 0x100000001b3u;
    }
    char hex[17] = {};
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

}  // namespace

std::optional<std::string> machineId(FileSystem& fileSystem) {
    for (const char* path : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
        const FileContents read = fileSystem.readSmallFile(path, 256);
        const std::string text =
            read.bytes ? read.bytes->substr(0, read.bytes->find_first_of("\n\r ")) : "";
        if (!text.empty()) {
            return machineIdOf(text);
        }
    }
    return std::nullopt;
}

}  // namespace tesuko
