// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qt_tool_tip.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTime>
#include <system_error>

namespace tesuko {

namespace {

QString text(const std::string& words) {
    return QString::fromStdString(words);
}

// The status in words, with the menu's translations.
class StatusWords {
    Q_DECLARE_TR_FUNCTIONS(QtStatusMenu)

  public:
    static QString toolTip(const Status& status, const std::optional<std::string>& logPath);
    static QString problemText(const LogProblem& problem) {
        static constexpr const char* kDoing[] = {
            QT_TRANSLATE_NOOP("QtStatusMenu", "Could not create the folder %1: %2"),
            QT_TRANSLATE_NOOP("QtStatusMenu", "Could not open the log %1: %2"),
            QT_TRANSLATE_NOOP("QtStatusMenu", "Could not write a record to %1: %2"),
            QT_TRANSLATE_NOOP("QtStatusMenu", "could not read %1: %2"),
            QT_TRANSLATE_NOOP("QtStatusMenu", "could not rewrite %1: %2"),
        };
        // One pass for both: a path may hold "%2" itself.
        return tr(kDoing[static_cast<int>(problem.doing)])
            .arg(text(problem.path), faultText(problem.fault));
    }

    // What the system says stays as it came.
    static QString faultText(const FileFault& fault) {
        static constexpr const char* kOwn[] = {
            nullptr,
            QT_TRANSLATE_NOOP("QtStatusMenu", "not a regular file (a FIFO, a device or a socket?)"),
            QT_TRANSLATE_NOOP("QtStatusMenu", "nothing written, disk full?"),
            QT_TRANSLATE_NOOP("QtStatusMenu", "larger than %1 bytes"),
            QT_TRANSLATE_NOOP("QtStatusMenu", "something other than a folder is there"),
            QT_TRANSLATE_NOOP("QtStatusMenu", "another program holds the file's lock"),
            QT_TRANSLATE_NOOP("QtStatusMenu", "not an absolute path"),
        };
        QString words = fault.cause == FileFault::Cause::system
                            ? text(std::generic_category().message(fault.errorNumber))
                            : tr(kOwn[static_cast<int>(fault.cause)]);
        if (fault.cause == FileFault::Cause::tooLarge) {
            words = words.arg(fault.limit);
        }
        return fault.at.empty() ? words : words + QStringLiteral(" (%1)").arg(text(fault.at));
    }

    static QStringList stateLines(const RecordingState& state) {
        if (std::holds_alternative<Stopped>(state)) {
            return {tr("Stopped")};
        }
        if (const auto* until = std::get_if<PausedUntil>(&state)) {
            const QString at = QTime(until->hour, until->minute).toString(QStringLiteral("HH:mm"));
            return {until->tomorrow ? tr("Paused until %1 tomorrow").arg(at)
                                    : tr("Paused until %1").arg(at)};
        }
        if (const auto* away = std::get_if<Away>(&state)) {
            static constexpr const char* kAway[] = {
                QT_TRANSLATE_NOOP("QtStatusMenu", "Paused: screen locked"),
                QT_TRANSLATE_NOOP("QtStatusMenu", "Paused: asleep"),
                QT_TRANSLATE_NOOP("QtStatusMenu", "Paused: idle"),
            };
            return {tr(kAway[static_cast<int>(*away)])};
        }
        const Recording& recording = std::get<Recording>(state);
        QStringList lines = {recording.writeProblem
                                 ? tr("Recording, but records cannot be written. %1")
                                       .arg(problemText(*recording.writeProblem))
                                 : tr("Recording")};
        if (!recording.inputCounted) {
            lines << tr("Clicks and keys are not counted on this desktop");
        }
        return lines;
    }

    // In the user's language, or as written for the system log.
    static QString noticeText(const DesktopNotice& notice, bool translated = true) {
        static constexpr const char* kNotices[] = {
            QT_TRANSLATE_NOOP("QtStatusMenu",
                              "GNOME Shell's extensions are turned off: turn them on in the "
                              "Extensions app for tesuko to see the windows"),
            QT_TRANSLATE_NOOP("QtStatusMenu",
                              "Turn on tesuko's extension in GNOME's Extensions app for tesuko to "
                              "see the windows"),
            QT_TRANSLATE_NOOP(
                "QtStatusMenu",
                "GNOME Shell does not tell its version: tesuko cannot pick its extension"),
            QT_TRANSLATE_NOOP("QtStatusMenu",
                              "tesuko needs GNOME Shell %1 or later to see the windows"),
            QT_TRANSLATE_NOOP("QtStatusMenu",
                              "tesuko's GNOME Shell extension is missing from its installation "
                              "(share/tesuko/gnome-shell-extension)"),
            QT_TRANSLATE_NOOP(
                "QtStatusMenu",
                "tesuko cannot install its GNOME Shell extension: there is no home folder"),
            QT_TRANSLATE_NOOP("QtStatusMenu",
                              "tesuko cannot install its GNOME Shell extension: %1"),
            QT_TRANSLATE_NOOP("QtStatusMenu", "tesuko's GNOME Shell extension failed: %1"),
            QT_TRANSLATE_NOOP(
                "QtStatusMenu",
                "tesuko's extension is tested with GNOME Shell up to %1, not yet %2. To try it "
                "anyway, run: gsettings set org.gnome.shell disable-extension-version-validation "
                "true, then log out and back in"),
            QT_TRANSLATE_NOOP("QtStatusMenu",
                              "Turn on extensions in GNOME's Extensions app, then log out and "
                              "back in once for tesuko to see the windows: GNOME Shell loads its "
                              "extension only at login"),
            QT_TRANSLATE_NOOP("QtStatusMenu",
                              "Log out and back in once for tesuko to see the windows: GNOME "
                              "Shell loads its extension only at login"),
        };
        const char* words = kNotices[static_cast<int>(notice.kind)];
        const QString shown = translated ? tr(words) : QString::fromUtf8(words);
        switch (notice.kind) {
            case DesktopNotice::Kind::shellTooOld:
                return shown.arg(notice.shell);
            case DesktopNotice::Kind::untestedShell:
                return shown.arg(notice.shell).arg(notice.runningShell);
            case DesktopNotice::Kind::installFailed:
            case DesktopNotice::Kind::extensionFailed:
                return shown.arg(text(notice.detail));
            default:
                return shown;
        }
    }
};

}  // namespace

QString StatusWords::toolTip(const Status& status, const std::optional<std::string>& logPath) {
    QStringList lines = stateLines(status.state);
    lines.first().prepend(QStringLiteral("tesuko: "));
    if (status.forgetProblem) {
        lines << tr("Could not forget the last 15 minutes: %1")
                     .arg(problemText(*status.forgetProblem));
    }
    if (status.desktopNotice) {
        lines << noticeText(*status.desktopNotice);
    }
    if (const std::optional<RulesTrouble>& rules = status.rulesTrouble) {
        lines << (rules->problems == 0
                      ? tr("Cannot read the rules in %1: see the system log").arg(text(rules->path))
                      : tr("Lines of the rules in %1 that do not apply: %2, the first at line "
                           "%3, column %4; see the system log")
                            .arg(text(rules->path))
                            .arg(rules->problems)
                            .arg(rules->line)
                            .arg(rules->column));
    }
    if (logPath) {
        lines << tr("Log: %1").arg(text(*logPath));
    }
    return lines.join(QLatin1Char('\n'));
}

QString toolTipText(const Status& status, const std::optional<std::string>& logPath) {
    return StatusWords::toolTip(status, logPath);
}

QString faultInWords(const FileFault& fault) {
    return StatusWords::faultText(fault);
}

std::string noticeInEnglish(const DesktopNotice& notice) {
    return StatusWords::noticeText(notice, false).toStdString();
}

}  // namespace tesuko
