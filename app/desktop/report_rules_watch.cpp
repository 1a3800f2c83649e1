// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/desktop/report_rules_watch.h"

#include <QFileInfo>

#include "categories/rules_location.h"

namespace tesuko {

RulesWatch::RulesWatch(FileSystem& fileSystem, SystemLog& systemLog, std::string path,
                       OnTrouble onTrouble)
    : fileSystem_(fileSystem),
      systemLog_(systemLog),
      path_(std::move(path)),
      onTrouble_(std::move(onTrouble)) {
    settle_.setSingleShot(true);
    settle_.setInterval(200);
    QObject::connect(&settle_, &QTimer::timeout, [this] { reload(); });
    auto changed = [this] {
        watch();
        settle_.start();
    };
    QObject::connect(&watcher_, &QFileSystemWatcher::fileChanged, changed);
    QObject::connect(&watcher_, &QFileSystemWatcher::directoryChanged, changed);
    watch();
    reload();
}

// The folder tells of a file created or renamed over; the file, of writes.
void RulesWatch::watch() {
    const QString file = QString::fromStdString(path_);
    for (const QString& path : {QFileInfo(file).absolutePath(), file}) {
        if (!watcher_.files().contains(path) && !watcher_.directories().contains(path) &&
            QFileInfo::exists(path)) {
            watcher_.addPath(path);
        }
    }
}

void RulesWatch::reload() {
    LoadedRules loaded = loadRules(fileSystem_, path_);
    std::vector<std::string> problems;
    if (loaded.error) {
        problems.push_back("Cannot read the rules: " + *loaded.error);
    }
    for (const RuleProblem& problem : loaded.rules.problems()) {
        problems.push_back(ruleProblemText(path_, problem));
    }
    if (problems != said_) {
        for (const std::string& problem : problems) {
            systemLog_.warning(problem);
        }
        said_ = problems;
    }
    std::optional<RulesTrouble> trouble;
    if (loaded.error) {
        trouble = RulesTrouble{path_, 0, 0, 0};
    } else if (const auto& found = loaded.rules.problems(); !found.empty()) {
        trouble = RulesTrouble{path_, found.size(), found.front().line, found.front().column};
    }
    onTrouble_(std::move(trouble));
}

}  // namespace tesuko
