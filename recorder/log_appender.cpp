// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/log_appender.h"

#include "log/switch_record.h"
#include "recorder/log_tail.h"

namespace tesuko {

namespace {

std::string parentFolder(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

// A crash or an editor may have left the file's last line unfinished: ends it,
// so that the next record is not glued to it.
FileError endLastLine(FileWriter& file) {
    if (auto last = file.lastByte(); last && *last != '\n') {
        return file.write("\n");
    }
    return std::nullopt;
}

}  // namespace

std::string logProblemText(const LogProblem& problem) {
    constexpr const char* kDoing[] = {"Could not create the folder ", "Could not open the log ",
                                      "Could not write a record to ", "Could not read ",
                                      "Could not rewrite "};
    return kDoing[static_cast<int>(problem.doing)] + problem.path + ": " + faultText(problem.fault);
}

LogAppender::LogAppender(FileSystem& fileSystem, SystemLog& systemLog, Clock& clock)
    : fileSystem_(fileSystem), systemLog_(systemLog), clock_(clock) {}

LogAppender::~LogAppender() {
    if (!unwritten_.empty() || droppedRecords_ > 0) {
        systemLog_.error("Lost " + std::to_string(unwritten_.size() + droppedRecords_) +
                         " records that could not be written to " + path_);
    }
}

void LogAppender::openAt(std::string path, Missing missing) {
    path_ = std::move(path);
    missing_ = missing;
    chosenLink_ = fileSystem_.isLink(path_);
    // A rewrite of the log killed midway left its new file beside it; one
    // younger than an hour may still be being written.
    fileSystem_.removeStaleTemporaries(parentFolder(path_), std::chrono::hours(1));
    open(FileSystem::Links::follow);
}

void LogAppender::reopenRewritten(Writes writes) {
    open(FileSystem::Links::refuse);
    if (file_) {
        ownAppends_->writes = std::move(writes);
    }
}

// The one way the log is opened. The log or its folder may be gone since the
// last start: recording goes on where the user chose, and a log created again
// is always a new file of our own.
void LogAppender::open(FileSystem::Links links) {
    file_.reset();
    Opened<FileWriter> opened;
    if (fileSystem_.exists(path_)) {
        opened = fileSystem_.openForWriting(path_, links);
    } else if (FileError error = fileSystem_.createDirectories(parentFolder(path_))) {
        reportWriteProblem(
            LogProblem{LogProblem::Doing::creatingFolder, parentFolder(path_), *error});
        return;
    } else if (missing_ == Missing::wait) {
        return;
    } else {
        opened = fileSystem_.createForWriting(path_);
    }
    if (!opened.file) {
        reportWriteProblem(LogProblem{LogProblem::Doing::openingLog, path_, opened.error});
        return;
    }
    file_ = std::move(opened.file);
    FileIdentity found = file_->identity();
    if (FileError error = endLastLine(*file_)) {
        systemLog_.error("Could not end the last line of " + path_ + ": " + faultText(*error));
    }
    // The records of this run stay known as ours while the file only grew.
    ownAppends_ = OwnAppends{found, file_->identity(), &clock_,
                             onlyGrew(found) ? std::move(ownAppends_->writes) : Writes{}};
    reportWriteProblem(std::nullopt);
}

bool LogAppender::onlyGrew(const FileIdentity& found) const {
    return ownAppends_ && found.sameFile(ownAppends_->to) && found.size >= ownAppends_->to.size;
}

std::optional<FileIdentity> LogAppender::openFile() const {
    return file_ ? std::optional(file_->identity()) : std::nullopt;
}

LogAppender::Writes LogAppender::ownWrites() {
    const bool ours = file_ && file_->stillAt(path_) && onlyGrew(file_->identity());
    return ours ? ownAppends_->writes : Writes{};
}

// Holding records back keeps a full disk from losing them, within bounds that
// a day of switching stays far below, whatever the titles.
void LogAppender::append(std::string record, std::chrono::steady_clock::time_point began) {
    constexpr std::size_t kMostRecords = 10'000;
    constexpr std::size_t kMostBytes = std::size_t(16) << 20;
    unwrittenBytes_ += record.size();
    unwritten_.push_back({began, std::move(record)});
    while (unwritten_.size() > kMostRecords || unwrittenBytes_ > kMostBytes) {
        if (droppedRecords_++ == 0) {
            systemLog_.error("Too many records wait to be written: dropping the oldest");
        }
        unwrittenBytes_ -= unwritten_.front().record.size();
        unwritten_.pop_front();
    }
    writeUnwritten();
}

void LogAppender::writeUnwritten() {
    if (unwritten_.empty()) {
        return;
    }
    const bool failing = writeProblem_.has_value() || droppedRecords_ > 0;
    if (file_ && !file_->stillAt(path_)) {
        // Records written to a removed file would be lost without a word.
        systemLog_.warning("The log " + path_ + " was moved or removed; starting it again");
        file_.reset();
    }
    if (!file_) {
        // Whatever kept the log from opening may have passed: every record tries again.
        open(chosenLink_ ? FileSystem::Links::follow : FileSystem::Links::refuse);
    }
    const std::size_t waiting = unwritten_.size();
    if (!file_) {
        systemLog_.error("Could not write a record to " + path_ + ": the log is not open");
    }
    while (file_ && !unwritten_.empty()) {
        if (FileError error = write(unwritten_.front().record)) {
            reportWriteProblem(LogProblem{LogProblem::Doing::writingRecord, path_, *error});
            break;
        }
        unwrittenBytes_ -= unwritten_.front().record.size();
        unwritten_.pop_front();
    }
    if (!unwritten_.empty()) {
        systemLog_.warning("Records waiting in memory to be written: " +
                           std::to_string(unwritten_.size()));
        return;
    }
    if (failing) {
        systemLog_.info("The log takes records again: wrote the " + std::to_string(waiting) +
                        " kept in memory" +
                        (droppedRecords_ > 0
                             ? "; " + std::to_string(droppedRecords_) + " older ones were lost"
                             : ""));
    }
    droppedRecords_ = 0;
    reportWriteProblem(std::nullopt);
}

void LogAppender::forgetUnwritten(std::chrono::steady_clock::time_point since) {
    while (!unwritten_.empty() && unwritten_.back().began >= since) {
        unwrittenBytes_ -= unwritten_.back().record.size();
        unwritten_.pop_back();
    }
    if (unwritten_.empty()) {
        return;
    }
    std::string& record = unwritten_.back().record;
    const double before = std::chrono::duration<double>(since - unwritten_.back().began).count();
    if (recordSeconds(std::string_view(record).substr(0, record.size() - 1)) > before) {
        unwrittenBytes_ -= record.size();
        record.resize(record.rfind(',') + 1);
        appendSeconds(record, before);
        record += '\n';
        unwrittenBytes_ += record.size();
    }
}

// The open already ended the log's last line.
FileError LogAppender::write(std::string_view record) {
    const FileIdentity before = file_->identity();
    FileError error = file_->write(record);
    if (!error) {
        ownAppends_->add(before, file_->identity());
    }
    return error;
}

void LogAppender::reportWriteProblem(std::optional<LogProblem> problem) {
    if (problem) {
        systemLog_.error(logProblemText(*problem));
    }
    if (problem != writeProblem_) {
        writeProblem_ = std::move(problem);
        if (onWriteProblemChanged_) {
            onWriteProblemChanged_();
        }
    }
}

}  // namespace tesuko
