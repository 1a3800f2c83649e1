// SPDX-License-Identifier: GPL-3.0-or-later
#include "machines/machine_card.h"

#include <unicode/timezone.h>

#include <memory>

namespace tesuko {

MachineCard readMachineCard(std::string_view text) {
    MachineCard card;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.starts_with("name=")) {
            card.name = line.substr(5);
        } else if (line.starts_with("zone=") && line.size() > 5) {
            card.zone = std::string(line.substr(5));
        }
    }
    return card;
}

MachineCard thisMachineCard(FileSystem& fileSystem) {
    MachineCard card;
    const FileContents host = fileSystem.readSmallFile("/etc/hostname", 256);
    card.name = host.bytes ? host.bytes->substr(0, host.bytes->find('\n')) : "";
    // ICU's default zone is the C library's: $TZ, else /etc/localtime.
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createDefault());
    icu::UnicodeString id;
    zone->getID(id).toUTF8String(card.zone.emplace());
    return card;
}

FileError writeMachineCard(FileSystem& fileSystem, const std::string& path,
                           const MachineCard& card) {
    const std::string text =
        "name=" + card.name + "\n" + (card.zone ? "zone=" + *card.zone + "\n" : "");
    const FileContents now = fileSystem.readSmallFile(path, 4096);
    if (now.bytes == text) {
        return std::nullopt;
    }
    return fileSystem.replaceFile(path, text, FileSystem::Access::privateToUser);
}

}  // namespace tesuko
