// SPDX-License-Identifier: GPL-3.0-or-later
// Autostart folders hold other programs' files, written by anyone. Reading
// them must never crash, and the entry tesuko writes for itself must read back
// as exactly its own program, whatever characters the path holds.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/xdg/desktop_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    std::string foreign = input.ConsumeRandomLengthString(4096);
    if (auto entry = tesuko::parseDesktopEntry(foreign); entry && entry->exec) {
        tesuko::splitExec(*entry->exec);
    }
    tesuko::splitExec(foreign);

    std::string program = "/" + input.ConsumeRemainingBytesAsString();
    if (program.find('\0') != std::string::npos) {
        return 0;  // no path holds a NUL
    }
    auto own = tesuko::parseDesktopEntry(tesuko::desktopEntryFor(program));
    if (!own || !own->exec || !own->startsAtLogin()) {
        std::abort();
    }
    auto arguments = tesuko::splitExec(*own->exec);
    if (!arguments || arguments->size() != 1 || arguments->front() != program) {
        std::abort();
    }
    return 0;
}
