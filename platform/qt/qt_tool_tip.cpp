// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qt_tool_tip.h"

#include <QCoreApplication>
#include <QStringList>

#include "platform/qt/qt_known_texts.h"

namespace tesuko {

namespace {

constexpr const char* kContext = "QtStatusMenu";

// The lines the controller writes, and the desktops' notices it adds, "%1"
// and "%2" standing for the parts that vary.
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
    QT_TRANSLATE_NOOP("QtStatusMenu",
                      "GNOME Shell's extensions are turned off: turn them on in the Extensions "
                      "app for tesuko to see the windows"),
    QT_TRANSLATE_NOOP("QtStatusMenu",
                      "Turn on tesuko's extension in GNOME's Extensions app for tesuko to see "
                      "the windows"),
    QT_TRANSLATE_NOOP("QtStatusMenu",
                      "GNOME Shell does not tell its version: tesuko cannot pick its extension"),
    QT_TRANSLATE_NOOP("QtStatusMenu", "tesuko needs GNOME Shell %1 or later to see the windows"),
    QT_TRANSLATE_NOOP("QtStatusMenu",
                      "tesuko's GNOME Shell extension is missing from its installation "
                      "(share/tesuko/gnome-shell-extension)"),
    QT_TRANSLATE_NOOP("QtStatusMenu",
                      "tesuko cannot install its GNOME Shell extension: there is no home folder"),
    QT_TRANSLATE_NOOP("QtStatusMenu", "tesuko cannot install its GNOME Shell extension: %1"),
    QT_TRANSLATE_NOOP("QtStatusMenu", "tesuko's GNOME Shell extension failed: %1"),
    QT_TRANSLATE_NOOP("QtStatusMenu",
                      "tesuko's extension is tested with GNOME Shell up to %1, not yet %2. To try "
                      "it anyway, run: gsettings set org.gnome.shell "
                      "disable-extension-version-validation true, then log out and back in"),
    QT_TRANSLATE_NOOP("QtStatusMenu",
                      "Turn on extensions in GNOME's Extensions app, then log out and back in "
                      "once for tesuko to see the windows: GNOME Shell loads its extension only "
                      "at login"),
    QT_TRANSLATE_NOOP("QtStatusMenu",
                      "Log out and back in once for tesuko to see the windows: GNOME Shell loads "
                      "its extension only at login"),
};

// Our own words inside a part that varies: why the log could not be read or
// written. What the system says (strerror) stays as it came.
constexpr const char* kKnownParts[] = {
    QT_TRANSLATE_NOOP("QtStatusMenu", "could not read %1: %2"),
    QT_TRANSLATE_NOOP("QtStatusMenu", "could not rewrite %1: %2"),
    QT_TRANSLATE_NOOP("QtStatusMenu", "Could not write a record to %1: %2"),
    QT_TRANSLATE_NOOP("QtStatusMenu", "not a regular file (a FIFO, a device or a socket?)"),
    QT_TRANSLATE_NOOP("QtStatusMenu", "larger than %1 bytes"),
    QT_TRANSLATE_NOOP("QtStatusMenu", "nothing written, disk full?"),
    QT_TRANSLATE_NOOP("QtStatusMenu", "something other than a folder is there"),
};

}  // namespace

QString toolTipText(const std::string& words, const std::optional<std::string>& logPath) {
    QStringList lines;
    for (const QString& line : QString::fromStdString(words).split(QLatin1Char('\n'))) {
        lines << translatedKnownText(kContext, line, kKnownLines, kKnownParts);
    }
    lines.first().prepend(QStringLiteral("tesuko: "));
    if (logPath) {
        lines << QCoreApplication::translate("QtStatusMenu", "Log: %1")
                     .arg(QString::fromStdString(*logPath));
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace tesuko
