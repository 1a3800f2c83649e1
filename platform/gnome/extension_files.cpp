// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gnome/extension_files.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/gnome/gnome_shell.h"

namespace tesuko {

namespace fs = std::filesystem;

namespace {

constexpr int kFirstModuleShell = 45;

std::optional<std::string> contentOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool sameContent(const fs::path& a, const fs::path& b) {
    const std::optional<std::string> first = contentOf(a);
    return first && first == contentOf(b);
}

std::string describe(const fs::path& path, const std::error_code& error) {
    return path.string() + ": " + error.message();
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

CopiedExtension copyExtension(const fs::path& from, const fs::path& to) {
    CopiedExtension copied;
    std::error_code error;
    fs::create_directories(to, error);
    if (error) {
        copied.error = describe(to, error);
        return copied;
    }
    fs::directory_iterator entry(from, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        const fs::path target = to / entry->path().filename();
        if (!entry->is_regular_file(error) || sameContent(entry->path(), target)) {
            continue;
        }
        // The Shell may read the folder at any login: never a half-written file.
        const fs::path fresh = target.string() + ".new";
        if (fs::copy_file(entry->path(), fresh, fs::copy_options::overwrite_existing, error)) {
            fs::rename(fresh, target, error);
        }
        if (error) {
            copied.error = describe(target, error);
            return copied;
        }
        copied.changed = true;
    }
    if (error) {
        copied.error = describe(from, error);
    }
    return copied;
}

}  // namespace tesuko
