#include "platform/qt/qt_user_defaults.h"

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

bool QtUserDefaults::synchronize() {
    settings_.sync();
    return settings_.status() == QSettings::NoError;
}

std::optional<std::string> QtUserDefaults::string(const std::string& key) {
    QVariant value = settings_.value(qtText(key));
    if (value.typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    return value.toString().toStdString();
}

}  // namespace tesuko
