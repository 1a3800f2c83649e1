// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/xdg/xdg_config_dirs.h"

#include <QFile>
#include <QStandardPaths>

namespace tesuko {

std::vector<std::string> autostartFolders(HomeFolder& home) {
    std::vector<std::string> folders{home.configFolder() + "/autostart"};
    // Qt puts the user's folder first, and keeps relative and empty entries
    // that the XDG rules say to ignore.
    QStringList system = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    system.removeFirst();
    for (const QString& dir : system) {
        if (dir.startsWith(u'/')) {
            folders.push_back(QFile::encodeName(dir).toStdString() + "/autostart");
        }
    }
    if (folders.size() == 1) {
        folders.emplace_back("/etc/xdg/autostart");
    }
    return folders;
}

}  // namespace tesuko
