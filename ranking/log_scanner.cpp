#include "ranking/log_scanner.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "ranking/rank_order.h"
#include "ranking/record_fields.h"
#include "ranking/seconds_text.h"

namespace tesuko {

LogScanner::LogScanner(SystemLog& systemLog, std::size_t chunkSize)
    : systemLog_(systemLog), chunkSize_(std::max<std::size_t>(chunkSize, 1)) {}

void LogScanner::resume(ScanState state) {
    state_ = std::move(state);
}

std::optional<std::string> LogScanner::scan(FileSystem& fileSystem, const std::string& path) {
    Opened<FileReader> opened = fileSystem.openForReading(path);
    if (!opened.file) {
        startOver({});
        ranks_.clear();
        return opened.error;
    }
    FileReader& reader = *opened.file;
    FileIdentity file = reader.identity();
    if (!continuesFrom(reader, path, file)) {
        startOver(path);
    }
    state_.position.file = file;
    damagedRows_ = 0;
    firstDamagedLine_ = 0;
    std::size_t unfinishedSize = 0;
    if (auto error = readAppended(reader, unfinishedSize)) {
        startOver({});
        ranks_.clear();
        return error;
    }
    reportDamagedRows(path);
    rank({buffer_.data(), unfinishedSize});
    return std::nullopt;
}

bool LogScanner::continuesFrom(FileReader& reader, const std::string& path,
                               const FileIdentity& file) {
    const ReadPosition& at = state_.position;
    if (path != at.path || !file.sameFile(at.file) || file.size < at.offset) {
        return false;
    }
    char bytes[ReadPosition::kCheckedBytes];
    std::size_t size = at.lastBytes.size();
    auto got = reader.readAt(at.offset - size, {bytes, size});
    return got == size && std::string_view(bytes, size) == at.lastBytes;
}

void LogScanner::startOver(const std::string& path) {
    state_ = ScanState{};
    state_.position.path = path;
}

std::optional<std::string> LogScanner::readAppended(FileReader& reader,
                                                    std::size_t& unfinishedSize) {
    if (buffer_.size() != chunkSize_) {
        buffer_.assign(chunkSize_, '\0');
        buffer_.shrink_to_fit();
    }
    std::uint64_t readOffset = state_.position.offset;
    std::size_t carried = 0;
    while (true) {
        if (carried == buffer_.size()) {
            buffer_.resize(buffer_.size() * 2);  // one line longer than a chunk
        }
        auto got = reader.readAt(readOffset, {buffer_.data() + carried, buffer_.size() - carried});
        if (!got) {
            return "the file could not be read to its end";
        }
        if (*got == 0) {
            unfinishedSize = carried;
            return std::nullopt;
        }
        readOffset += *got;
        std::size_t filled = carried + *got;
        std::size_t counted = countCompleteLines({buffer_.data(), filled});
        keepLastBytes({buffer_.data(), counted});
        std::memmove(buffer_.data(), buffer_.data() + counted, filled - counted);
        carried = filled - counted;
    }
}

std::size_t LogScanner::countCompleteLines(std::string_view bytes) {
    const char* start = bytes.data();
    const char* end = start + bytes.size();
    while (const char* lineEnd =
               static_cast<const char*>(std::memchr(start, '\n', std::size_t(end - start)))) {
        countLine({start, std::size_t(lineEnd - start)});
        start = lineEnd + 1;
    }
    return std::size_t(start - bytes.data());
}

void LogScanner::countLine(std::string_view line) {
    ++state_.position.lines;
    if (auto fields = recordFields(line)) {
        state_.totals.add(fields->name, secondsFromText(fields->seconds));
        return;
    }
    if (damagedRows_++ == 0) {
        firstDamagedLine_ = state_.position.lines;
    }
}

void LogScanner::keepLastBytes(std::string_view counted) {
    ReadPosition& at = state_.position;
    at.offset += counted.size();
    if (counted.size() >= ReadPosition::kCheckedBytes) {
        at.lastBytes.assign(counted.substr(counted.size() - ReadPosition::kCheckedBytes));
        return;
    }
    at.lastBytes.append(counted);
    if (at.lastBytes.size() > ReadPosition::kCheckedBytes) {
        at.lastBytes.erase(0, at.lastBytes.size() - ReadPosition::kCheckedBytes);
    }
}

void LogScanner::reportDamagedRows(const std::string& path) {
    if (damagedRows_ == 0) {
        return;
    }
    std::string rows = damagedRows_ == 1 ? "1 row" : std::to_string(damagedRows_) + " rows";
    systemLog_.line("Skipped " + rows + " of fewer than six fields in " + path +
                    ", the first at line " + std::to_string(firstDamagedLine_) +
                    "; the other records count.");
}

void LogScanner::rank(std::string_view unfinished) {
    auto fields = recordFields(unfinished);
    if (fields) {
        ApplicationTotals withUnfinished = state_.totals;
        withUnfinished.add(fields->name, secondsFromText(fields->seconds));
        ranks_ = withUnfinished.applications();
    } else {
        ranks_ = state_.totals.applications();
    }
    sortByTotal(ranks_);
}

}  // namespace tesuko
