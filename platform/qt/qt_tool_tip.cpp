// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qt_tool_tip.h"

#include <QCoreApplication>
#include <QStringList>

namespace tesuko {

namespace {

constexpr const char* kContext = "QtStatusMenu";

// The lines the controller writes, "%1" standing for the part that varies.
constexpr const char* kKnownLines[] = {
    QT_TRANSLATE_NOOP("QtStatusMenu", "Recording"),
    QT_TRANSLATE_NOOP("QtStatusMenu", "Stopped"),
    QT_TRANSLATE_NOOP("QtStatusMenu", "Paused: asleep"),
    QT_TRANSLATE_NOOP("QtStatusMenu", "Paused: screen locked"),
    QT_TRANSLATE_NOOP("QtStatusMenu", "Paused: idle"),
    QT_TRANSLATE_NOOP("QtStatusMenu", "Paused until %1"),
    QT_TRANSLATE_NOOP("QtStatusMenu", "Paused until %1 tomorrow"),
    QT_TRANSLATE_NOOP("QtStatusMenu", "Recording, but records cannot be written. %1"),
    QT_TRANSLATE_NOOP("QtStatusMenu", "Clicks and keys are not counted on this desktop"),
    QT_TRANSLATE_NOOP("QtStatusMenu", "Could not forget the last 15 minutes: %1"),
};

struct Match {
    QString known;
    QString varying;
    qsizetype fixedLength = -1;
};

// The known line that matches most of `line` with its fixed text.
Match bestMatch(const QString& line) {
    Match best;
    for (const char* known : kKnownLines) {
        const QString pattern = QString::fromUtf8(known);
        const qsizetype slot = pattern.indexOf(QLatin1String("%1"));
        const QString head = slot < 0 ? pattern : pattern.left(slot);
        const QString tail = slot < 0 ? QString() : pattern.mid(slot + 2);
        const bool matches = slot < 0 ? line == pattern
                                      : line.size() >= head.size() + tail.size() &&
                                            line.startsWith(head) && line.endsWith(tail);
        if (matches && head.size() + tail.size() > best.fixedLength) {
            best = {pattern, line.mid(head.size(), line.size() - head.size() - tail.size()),
                    head.size() + tail.size()};
        }
    }
    return best;
}

QString translatedLine(const QString& line) {
    const Match match = bestMatch(line);
    if (match.fixedLength < 0) {
        return line;
    }
    const QString translated =
        QCoreApplication::translate(kContext, match.known.toUtf8().constData());
    return match.known.contains(QLatin1String("%1")) ? translated.arg(match.varying) : translated;
}

}  // namespace

QString toolTipText(const std::string& words, const std::optional<std::string>& logPath) {
    QStringList lines;
    for (const QString& line : QString::fromStdString(words).split(QLatin1Char('\n'))) {
        lines << translatedLine(line);
    }
    lines.first().prepend(QStringLiteral("tesuko: "));
    if (logPath) {
        lines << QCoreApplication::translate("QtStatusMenu", "Log: %1")
                     .arg(QString::fromStdString(*logPath));
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace tesuko
