// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "report/interval_parts.h"

namespace tesuko {

// The rules file's text to edit, its broken lines underlined where they go
// wrong and listed below with what is wrong, and beside each category rule
// the time it takes of the period the report shows, as the text stands.
class ReportRulesEditor : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(ReportRulesEditor)

  public:
    // Writes the text; why not, when it could not.
    using Save = std::function<std::optional<QString>(const std::string& text)>;

    ReportRulesEditor(QWidget* parent, Save save);

    // The text to edit and the parts of the period whose time the rules share.
    void edit(const std::string& text, std::vector<IntervalPart> parts);
    const QListWidget& findings() const { return findings_; }

  private:
    void recount();

    Save save_;
    QPlainTextEdit text_;
    QListWidget findings_;
    QTimer settle_;  // counts once typing pauses
    std::vector<IntervalPart> parts_;
};

}  // namespace tesuko
