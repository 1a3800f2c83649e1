// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/desktop/report_add_to_category.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

#include "categories/rule_file.h"

namespace tesuko {

namespace {

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

// The line's text, 1-based.
std::string_view lineOf(std::string_view file, int number) {
    for (; number > 1 && !file.empty(); --number) {
        const std::size_t end = file.find('\n');
        file.remove_prefix(end == std::string_view::npos ? file.size() : end + 1);
    }
    return file.substr(0, file.find('\n'));
}

}  // namespace

ReportAddToCategory::ReportAddToCategory(QWidget* parent, const QString& what,
                                         std::string_view rulesText)
    : QDialog(parent) {
    setWindowTitle(tr("Add to Category"));
    category_.setEditable(true);
    category_.setInsertPolicy(QComboBox::NoInsert);
    category_.lineEdit()->setPlaceholderText(tr("Work/Mail"));
    place_.addItem(tr("First, before every other rule"));
    place_.addItem(tr("Last, after every other rule"));
    for (const CategoryRule& rule : parseRuleFile(rulesText).rules) {
        if (category_.findText(text(rule.category)) < 0) {
            category_.addItem(text(rule.category));
        }
        place_.addItem(
            tr("Before line %1: %2").arg(rule.line).arg(text(lineOf(rulesText, rule.line))));
        lines_.push_back(rule.line);
    }
    category_.setCurrentText({});
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QFormLayout(this);
    layout->addRow(new QLabel(tr("Where the time in %1 belongs:").arg(what), this));
    layout->addRow(tr("&Category:"), &category_);
    layout->addRow(tr("&Rule goes:"), &place_);
    layout->addRow(buttons);
}

RulePlace ReportAddToCategory::place() const {
    const int chosen = place_.currentIndex();
    return chosen <= 0   ? RulePlace{RulePlace::Kind::first}
           : chosen == 1 ? RulePlace{RulePlace::Kind::last}
                         : RulePlace{RulePlace::Kind::beforeLine, lines_[std::size_t(chosen - 2)]};
}

}  // namespace tesuko
