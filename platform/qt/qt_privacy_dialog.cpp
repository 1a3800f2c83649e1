// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qt_privacy_dialog.h"

#include <QPushButton>
#include <QStringList>

#include "settings/privacy_setting.h"
#include "settings/title_pattern.h"

namespace tesuko {

namespace {

void show(QPlainTextEdit& edit, const std::vector<std::string>& entries) {
    QStringList lines;
    for (const std::string& entry : entries) {
        lines << QString::fromStdString(entry);
    }
    edit.setPlainText(lines.join(QLatin1Char('\n')));
}

// Spaces around an entry are invisible in the editor, so they never count.
std::vector<std::string> entriesOf(const QPlainTextEdit& edit) {
    std::vector<std::string> entries;
    for (const QString& line : edit.toPlainText().split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty()) {
            entries.push_back(line.trimmed().toStdString());
        }
    }
    return entries;
}

// Why TitlePattern refuses a pattern, "%1" standing for the part it quotes.
constexpr const char* kProblems[] = {
    QT_TRANSLATE_NOOP("QtPrivacyDialog", "An empty pattern matches no title."),
    QT_TRANSLATE_NOOP("QtPrivacyDialog", "“%1” ends in a “\\” that makes nothing literal."),
    QT_TRANSLATE_NOOP("QtPrivacyDialog", "The range “%1” runs backwards."),
    QT_TRANSLATE_NOOP("QtPrivacyDialog", "“%1” opens a set with “[” that no “]” closes."),
};

}  // namespace

void QtPrivacyDialog::addList(QLabel& caption, const QString& text, QPlainTextEdit& edit) {
    caption.setText(text);
    caption.setWordWrap(true);
    caption.setBuddy(&edit);
    layout_.addWidget(&caption);
    edit.setTabChangesFocus(true);
    layout_.addWidget(&edit);
}

QtPrivacyDialog::QtPrivacyDialog()
    : buttons_(QDialogButtonBox::Save | QDialogButtonBox::Cancel |
               QDialogButtonBox::RestoreDefaults) {
    dialog_.setWindowTitle(tr("tesuko: Privacy"));
    dialog_.setLayout(&layout_);
    addList(privateTitlesCaption_,
            tr("Windows whose title matches one of these patterns are written with "
               "their application’s name instead. * stands for any text, ? for "
               "any character, [abc] for one of a, b, c; capitals do not matter."),
            privateTitles_);
    addList(privateTitleApplicationsCaption_,
            tr("Applications whose window titles are never written, one name a "
               "line, as the log names them:"),
            privateTitleApplications_);
    addList(untrackedApplicationsCaption_,
            tr("Applications whose time is not recorded at all, one name a line:"),
            untrackedApplications_);
    problem_.setWordWrap(true);
    problem_.setStyleSheet(QStringLiteral("color: #b00020"));
    layout_.addWidget(&problem_);
    layout_.addWidget(&buttons_);
    QObject::connect(&buttons_, &QDialogButtonBox::rejected, &dialog_, &QDialog::reject);
    QObject::connect(buttons_.button(QDialogButtonBox::Save), &QPushButton::clicked, &dialog_,
                     [this] { save(); });
    QObject::connect(buttons_.button(QDialogButtonBox::RestoreDefaults), &QPushButton::clicked,
                     &dialog_, [this] { show(privateTitles_, defaultPrivateTitles()); });
}

void QtPrivacyDialog::edit(const PrivacyLists& lists, Saved saved) {
    saved_ = std::move(saved);
    show(privateTitles_, lists.privateTitles);
    show(privateTitleApplications_, lists.privateTitleApplications);
    show(untrackedApplications_, lists.untrackedApplications);
    problem_.clear();
    dialog_.show();
    dialog_.raise();
    dialog_.activateWindow();
}

void QtPrivacyDialog::save() {
    const QStringList lines = privateTitles_.toPlainText().split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString pattern = lines[i].trimmed();
        if (pattern.isEmpty()) {
            continue;
        }
        if (std::optional<PatternProblem> why = TitlePattern::problem(pattern.toStdString())) {
            const QString reason = tr(kProblems[static_cast<int>(why->kind)]);
            problem_.setText(tr("Line %1 of the title patterns is not saved: %2")
                                 .arg(i + 1)
                                 .arg(why->kind == PatternProblem::Kind::empty
                                          ? reason
                                          : reason.arg(QString::fromStdString(why->part))));
            return;
        }
    }
    problem_.clear();
    dialog_.accept();
    if (saved_) {
        saved_({entriesOf(privateTitles_), entriesOf(privateTitleApplications_),
                entriesOf(untrackedApplications_)});
    }
}

}  // namespace tesuko
