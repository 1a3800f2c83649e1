// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qt_tray_icons.h"

#include <QIconEngine>
#include <QPainter>
#include <QStandardPaths>
#include <utility>

namespace tesuko {

namespace {

constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

// A StatusNotifierItem host asks for the icon's name and draws it from the
// desktop's theme, a "-symbolic" one in the panel's own text colour; an
// XEmbed tray paints the pixels it is given, which stay in colour.
class TrayIconEngine final : public QIconEngine {
  public:
    TrayIconEngine(QString name, QIcon pixels)
        : name_(std::move(name)), pixels_(std::move(pixels)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        pixels_.paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return pixels_.pixmap(size, mode, state);
    }
    QString iconName() override { return name_; }
    // QIcon owns the copy it asks for.
    QIconEngine* clone() const override { return new TrayIconEngine(*this); }

  private:
    QString name_;
    QIcon pixels_;
};

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
    QIcon coloured = QIcon::fromTheme(name, builtIn);
    // Named only where installed: a host that finds no icon by the name draws none.
    const QString symbolic = name + QStringLiteral("-symbolic");
    if (QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                               QStringLiteral("icons/hicolor/symbolic/apps/%1.svg").arg(symbolic))
            .isEmpty()) {
        return coloured;
    }
    return QIcon(new TrayIconEngine(symbolic, std::move(coloured)));
}

}  // namespace tesuko
