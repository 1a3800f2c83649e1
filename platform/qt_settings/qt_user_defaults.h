// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSettings>
#include <QString>
#include <optional>
#include <string>

#include "platform/user_defaults.h"

namespace tesuko {

// The preferences in Qt's native form on Linux, an INI file:
// $XDG_CONFIG_HOME/tesuko/tesuko.conf (~/.config/tesuko/tesuko.conf).
class QtUserDefaults : public UserDefaults {
  public:
    QtUserDefaults();
    // A store kept in the given file instead.
    explicit QtUserDefaults(const QString& filePath);

    void set(const std::string& key, const std::string& value) override;
    // False when the file could not be read or written; the values stay in memory.
    bool synchronize() override;
    // Nothing when the key is absent or holds something other than a text.
    std::optional<std::string> string(const std::string& key) override;

    QString fileName() const { return settings_.fileName(); }

  private:
    QSettings settings_;
};

}  // namespace tesuko
