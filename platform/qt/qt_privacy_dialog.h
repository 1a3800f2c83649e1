// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "platform/privacy_editor.h"

namespace tesuko {

// "Privacy…": the three lists, one entry a line, in a window of their own.
// Save keeps the window open and says which line holds a pattern that
// cannot be used, and why.
class QtPrivacyDialog : public PrivacyEditor {
    Q_DECLARE_TR_FUNCTIONS(QtPrivacyDialog)

  public:
    QtPrivacyDialog();

    void edit(const PrivacyLists& lists, Saved saved) override;

    // For tests: the window and its parts.
    QDialog& dialog() { return dialog_; }
    QPlainTextEdit& privateTitles() { return privateTitles_; }
    QPlainTextEdit& privateTitleApplications() { return privateTitleApplications_; }
    QPlainTextEdit& untrackedApplications() { return untrackedApplications_; }
    QLabel& problem() { return problem_; }
    QDialogButtonBox& buttons() { return buttons_; }

  private:
    void addList(QLabel& caption, const QString& text, QPlainTextEdit& edit);
    void save();

    // The window first: its parts leave it before it goes.
    QDialog dialog_;
    QVBoxLayout layout_;
    QLabel privateTitlesCaption_;
    QPlainTextEdit privateTitles_;
    QLabel privateTitleApplicationsCaption_;
    QPlainTextEdit privateTitleApplications_;
    QLabel untrackedApplicationsCaption_;
    QPlainTextEdit untrackedApplications_;
    QLabel problem_;
    QDialogButtonBox buttons_;
    Saved saved_;
};

}  // namespace tesuko
