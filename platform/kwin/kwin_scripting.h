// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QString>
#include <memory>
#include <string>

namespace tesuko {

// KWin's own name on the session bus.
inline const QString kKwinService = QStringLiteral("org.kde.KWin");

// A script of ours loaded into KWin and started, through KWin's /Scripting
// object; unloaded when this goes, if KWin is still there.
class KwinScript {
  public:
    struct Loaded {
        std::unique_ptr<KwinScript> script;  // null when KWin would not run it
        std::string error;
    };

    // Loads the script in `file` under a plugin name no other script has.
    static Loaded load(QDBusConnection bus, const QString& file);

    KwinScript(QDBusConnection bus, QString pluginName);
    ~KwinScript();
    KwinScript(const KwinScript&) = delete;
    KwinScript& operator=(const KwinScript&) = delete;

    const QString& pluginName() const { return pluginName_; }

  private:
    QDBusConnection bus_;
    QString pluginName_;
};

}  // namespace tesuko
