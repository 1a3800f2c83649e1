// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/xdg/program_lookup.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdlib>

namespace tesuko {

namespace {

// Only absolute folders: Qt would look in relative ones from where we stand.
QStringList absoluteFoldersOfPath() {
    const char* configured = std::getenv("PATH");
    QStringList folders =
        QFile::decodeName(configured ? configured : "/usr/local/bin:/usr/bin:/bin").split(u':');
    folders.removeIf([](const QString& folder) { return !folder.startsWith(u'/'); });
    return folders;
}

// Empty for a program not found, which has no real path either.
std::optional<std::string> realPathOf(const QString& program) {
    const QString real = QFileInfo(program).canonicalFilePath();
    return real.isEmpty() ? std::nullopt : std::optional(QFile::encodeName(real).toStdString());
}

}  // namespace

std::optional<std::string> resolveProgram(const std::string& command) {
    const QString name = QFile::decodeName(QByteArray::fromStdString(command));
    if (command.find('/') != std::string::npos) {
        return command.starts_with('/') ? realPathOf(QStandardPaths::findExecutable(name))
                                        : std::nullopt;
    }
    const QStringList folders = absoluteFoldersOfPath();
    // Given no folders, Qt would search all of $PATH.
    if (command.empty() || folders.isEmpty()) {
        return std::nullopt;
    }
    return realPathOf(QStandardPaths::findExecutable(name, folders));
}

}  // namespace tesuko
