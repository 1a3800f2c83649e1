// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gnome/extension_files.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <system_error>

#include "platform/gnome/gnome_shell.h"

namespace tesuko {

namespace fs = std::filesystem;

namespace {

constexpr int kFirstModuleShell = 45;

// The extension's files are a few kilobytes each.
constexpr std::size_t kMaxFileBytes = 1 << 20;

std::string describe(const fs::path& path, const FileFault& fault) {
    return path.string() + ": " + faultText(fault);
}

}  // namespace

std::optional<fs::path> shippedExtension(int shellMajorVersion) {
    if (shellMajorVersion < kOldestShell) {
        return std::nullopt;
    }
    const fs::path form = fs::path("tesuko/gnome-shell-extension") /
                          (shellMajorVersion < kFirstModuleShell ? "shell-43" : "shell-45");
    // Beside the program: in the build tree (app/../share) and as installed
    // (libexec/tesuko/../../share), for any prefix.
    const QString programFolder = QCoreApplication::applicationDirPath();
    QStringList dataFolders{programFolder + QStringLiteral("/../share"),
                            programFolder + QStringLiteral("/../../share")};
    dataFolders += QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    for (const QString& folder : dataFolders) {
        const fs::path candidate = fs::path(folder.toStdString()) / form;
        std::error_code ignored;
        if (fs::is_regular_file(candidate / "metadata.json", ignored)) {
            return candidate.lexically_normal();
        }
    }
    return std::nullopt;
}

std::optional<int> newestListedShell(const fs::path& form) {
    QFile metadata(QString::fromStdString((form / "metadata.json").string()));
    if (!metadata.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    std::optional<int> newest;
    const QJsonArray listed =
        QJsonDocument::fromJson(metadata.readAll()).object().value("shell-version").toArray();
    for (const QJsonValue& version : listed) {
        bool number = false;
        const int major = version.toString().section(QLatin1Char('.'), 0, 0).toInt(&number);
        if (number && (!newest || major > *newest)) {
            newest = major;
        }
    }
    return newest;
}

std::optional<fs::path> userExtensionFolder() {
    const fs::path data =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString();
    if (!data.is_absolute()) {
        return std::nullopt;
    }
    return data / "gnome-shell/extensions" / kExtensionUuid.toStdString();
}

CopiedExtension copyExtension(FileSystem& files, const fs::path& from, const fs::path& to) {
    CopiedExtension copied;
    if (FileError fault = files.createDirectories(to)) {
        copied.error = describe(to, *fault);
        return copied;
    }
    std::error_code error;
    fs::directory_iterator entry(from, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        const fs::path target = to / entry->path().filename();
        if (!entry->is_regular_file(error)) {
            continue;
        }
        const FileContents shipped = files.readSmallFile(entry->path(), kMaxFileBytes);
        if (!shipped.bytes) {
            copied.error = describe(entry->path(), shipped.error);
            return copied;
        }
        if (files.readSmallFile(target, kMaxFileBytes).bytes == shipped.bytes) {
            continue;
        }
        // The Shell may read the folder at any login: never a half-written file.
        if (FileError fault =
                files.replaceFile(target, *shipped.bytes, FileSystem::Access::asBefore)) {
            copied.error = describe(target, *fault);
            return copied;
        }
        copied.changed = true;
    }
    if (error) {
        copied.error = from.string() + ": " + error.message();
    }
    return copied;
}

}  // namespace tesuko
