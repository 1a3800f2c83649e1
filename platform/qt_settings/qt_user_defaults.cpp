// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_settings/qt_user_defaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace tesuko {

namespace {

// Where QSettings puts the native per-user file of organisation and application
// "tesuko". Spelled out because QSettings reads $XDG_CONFIG_HOME only once per
// process, while this is read each time a store is made.
QString defaultFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           "/tesuko/tesuko.conf";
}

QString qtText(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

}  // namespace

QtUserDefaults::QtUserDefaults() : QtUserDefaults(defaultFilePath()) {}

QtUserDefaults::QtUserDefaults(const QString& filePath)
    : settings_(filePath, QSettings::IniFormat) {}

void QtUserDefaults::set(const std::string& key, const std::string& value) {
    settings_.setValue(qtText(key), qtText(value));
}

// The file says where the log of window titles lives: private like the
// other files the program creates. QSettings writes through QSaveFile, which
// keeps the permissions of the file it replaces, so the file is made private
// before the first write, and again after it in case it was made elsewhere.
bool QtUserDefaults::synchronize() {
    const QFileInfo file(settings_.fileName());
    const QString folder = file.absolutePath();
    // Our own folder, made private also when an older version left it open.
    if (QFileInfo::exists(folder) || QDir().mkpath(folder)) {
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    constexpr auto kPrivate = QFile::ReadOwner | QFile::WriteOwner;
    if (!file.exists()) {
        QFile created(file.filePath());
        if (created.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            created.setPermissions(kPrivate);
        }
    }
    settings_.sync();
    QFile::setPermissions(file.filePath(), kPrivate);
    return settings_.status() == QSettings::NoError;
}

std::optional<std::string> QtUserDefaults::string(const std::string& key) {
    QVariant value = settings_.value(qtText(key));
    // Commas written by hand in the file make a list of it: the lists of
    // the settings hold one entry per line.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QLatin1Char('\n')).toStdString();
    }
    if (value.typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    return value.toString().toStdString();
}

}  // namespace tesuko
