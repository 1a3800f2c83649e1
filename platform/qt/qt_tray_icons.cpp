// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qt_tray_icons.h"

namespace tesuko {

namespace {

constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

}  // namespace

QString stateIconName(TrayState state) {
    switch (state) {
        case TrayState::recording:
            return QStringLiteral("io.github.tesuko.Tesuko-recording");
        case TrayState::paused:
            return QStringLiteral("io.github.tesuko.Tesuko-paused");
        case TrayState::stopped:
            break;
    }
    return QStringLiteral("io.github.tesuko.Tesuko-stopped");
}

QIcon stateIcon(TrayState state) {
    const QString name = stateIconName(state);
    QIcon builtIn;
    for (int size : kIconSizes) {
        builtIn.addFile(QStringLiteral(":/tesuko/icons/%1x%1/status/%2.png").arg(size).arg(name),
                        QSize(size, size));
    }
    return QIcon::fromTheme(name, builtIn);
}

}  // namespace tesuko
