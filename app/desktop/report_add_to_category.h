// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <string>
#include <vector>

#include "app/desktop/report_rule_line.h"

namespace tesuko {

// Asks which category an application or window title goes to (one of the
// rules file's, or a new path) and where its rule goes among the others.
class ReportAddToCategory : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(ReportAddToCategory)

  public:
    ReportAddToCategory(QWidget* parent, const QString& what, std::string_view rulesText);

    std::string category() const { return category_.currentText().trimmed().toStdString(); }
    RulePlace place() const;

  private:
    QComboBox category_;
    QComboBox place_;
    std::vector<int> lines_;  // of the rules, after First and Last in place_
};

}  // namespace tesuko
