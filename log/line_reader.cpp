// SPDX-License-Identifier: GPL-3.0-or-later
#include "log/line_reader.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace tesuko {

std::optional<std::string> forEachLogLine(FileReader& reader, std::uint64_t from,
                                          std::size_t chunkSize, std::size_t longestLine,
                                          const OnLogLine& onLine) {
    std::vector<char> buffer(std::max<std::size_t>(chunkSize, 1));
    std::size_t carried = 0;  // the unfinished line, at the start of the buffer
    bool skipping = false;    // inside a line too long to hold, up to its "\n"
    for (std::uint64_t offset = from;;) {
        if (carried == buffer.size()) {
            if (carried >= longestLine) {
                skipping = true;
                carried = 0;
            } else {
                buffer.resize(std::min(buffer.size() * 2, longestLine));
            }
        }
        auto got = reader.readAt(offset, {buffer.data() + carried, buffer.size() - carried});
        if (!got) {
            return std::string("the file could not be read");
        }
        const bool fileEnds = *got == 0;
        offset += *got;
        const std::string_view bytes(buffer.data(), carried + *got);
        const std::uint64_t bytesAt = offset - bytes.size();
        std::size_t start = 0;
        if (skipping) {
            const std::size_t lineFeed = bytes.find('\n');
            skipping = lineFeed == bytes.npos;
            start = skipping ? bytes.size() : lineFeed + 1;
        }
        for (std::size_t at;
             !skipping && (at = bytes.find_first_of("\r\n", start)) != bytes.npos;) {
            const bool carriageReturn = bytes[at] == '\r';
            if (carriageReturn && at + 1 == bytes.size() && !fileEnds) {
                break;  // a "\n" may follow in the next chunk
            }
            const std::size_t end =
                carriageReturn && at + 1 < bytes.size() && bytes[at + 1] == '\n' ? at + 1 : at;
            if (!onLine(bytesAt + start, bytes.substr(start, end - start))) {
                return std::nullopt;
            }
            start = end + 1;
        }
        if (fileEnds) {
            return std::nullopt;
        }
        carried = bytes.size() - start;
        std::memmove(buffer.data(), bytes.data() + start, carried);
    }
}

}  // namespace tesuko
