// SPDX-License-Identifier: GPL-3.0-or-later
#include "machines/machine_card.h"

#include <unicode/timezone.h>

#include <memory>

namespace tesuko {

std::string machineCardText(const MachineCard& card) {
    return "name=" + card.name + "\n" + (card.zone ? "zone=" + *card.zone + "\n" : "");
}

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

std::string localZoneName() {
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createDefault());
    icu::UnicodeString id;
    std::string name;
    zone->getID(id).toUTF8String(name);
    return name;
}

FileError writeMachineCard(FileSystem& fileSystem, const std::string& folder, const std::string& id,
                           const MachineCard& card) {
    const std::string path = folder + id + ".machine";
    const std::string text = machineCardText(card);
    const FileContents now = fileSystem.readSmallFile(path, 4096);
    if (now.bytes == text) {
        return std::nullopt;
    }
    return fileSystem.replaceFile(path, text, FileSystem::Access::privateToUser);
}

}  // namespace tesuko
