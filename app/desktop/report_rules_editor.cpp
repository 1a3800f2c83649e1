// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/desktop/report_rules_editor.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBlock>
#include <QVBoxLayout>

#include "app/desktop/report_colours.h"
#include "app/desktop/report_rule_times.h"
#include "categories/rule_set.h"
#include "report/report_output.h"

namespace tesuko {

namespace {

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

}  // namespace

ReportRulesEditor::ReportRulesEditor(QWidget* parent, Save save)
    : QDialog(parent), save_(std::move(save)) {
    setWindowTitle(tr("tesuko — Rules"));
    text_.setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text_.setLineWrapMode(QPlainTextEdit::NoWrap);
    text_.setAccessibleName(tr("Rules"));
    findings_.setAccessibleName(tr("Problems and time per rule"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons->button(QDialogButtonBox::Save), &QPushButton::clicked, this, [this] {
        if (auto error = save_(text_.toPlainText().toStdString())) {
            QMessageBox::warning(this, windowTitle(),
                                 tr("Could not save the rules: %1").arg(*error));
        }
    });
    settle_.setSingleShot(true);
    settle_.setInterval(300);
    connect(&settle_, &QTimer::timeout, this, [this] { recount(); });
    connect(&text_, &QPlainTextEdit::textChanged, &settle_, qOverload<>(&QTimer::start));
    // Where a finding is, on a double click or Enter.
    connect(&findings_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        QTextCursor at(text_.document()->findBlockByNumber(item->data(Qt::UserRole).toInt() - 1));
        text_.setTextCursor(at);
        text_.setFocus();
    });
    auto* findingsLabel = new QLabel(tr("&Problems and time per rule in the period shown"), this);
    findingsLabel->setBuddy(&findings_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(&text_, 3);
    layout->addWidget(findingsLabel);
    layout->addWidget(&findings_, 1);
    layout->addWidget(buttons);
    resize(fontMetrics().averageCharWidth() * 90, fontMetrics().height() * 30);
}

void ReportRulesEditor::edit(const std::string& text, std::vector<IntervalPart> parts) {
    parts_ = std::move(parts);
    text_.setPlainText(QString::fromStdString(text));
    recount();
}

void ReportRulesEditor::recount() {
    settle_.stop();
    const std::string content = text_.toPlainText().toStdString();
    const RuleFile file = parseRuleFile(content);
    const std::map<int, double> seconds = secondsPerRule(file, parts_);
    findings_.clear();
    QList<QTextEdit::ExtraSelection> marks;
    const QColor wrong = categoryColour(palette(), 0);  // a red that stands out
    // The patterns' problems too, found when they are compiled.
    const RuleSet checked{RuleFile(file)};
    for (const RuleProblem& problem : checked.problems()) {
        auto* item = new QListWidgetItem(text(ruleProblemText("rules", problem)), &findings_);
        item->setData(Qt::UserRole, problem.line);
        item->setForeground(wrong);
        QTextCursor mark(text_.document()->findBlockByNumber(problem.line - 1));
        mark.movePosition(QTextCursor::NextCharacter, QTextCursor::MoveAnchor,
                          std::max(problem.column - 1, 0));
        mark.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        if (!mark.hasSelection()) {  // what is missing is at the end: the line is wrong
            mark.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
        }
        QTextEdit::ExtraSelection selection{mark, {}};
        selection.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        selection.format.setUnderlineColor(wrong);
        selection.format.setToolTip(item->text());
        marks.append(selection);
    }
    for (const CategoryRule& rule : file.rules) {
        const auto found = seconds.find(rule.line);
        auto* item = new QListWidgetItem(
            tr("Line %1: %2 to %3")
                .arg(rule.line)
                .arg(text(hoursAndMinutes(found == seconds.end() ? 0 : found->second)),
                     text(rule.category)),
            &findings_);
        item->setData(Qt::UserRole, rule.line);
    }
    text_.setExtraSelections(marks);
}

}  // namespace tesuko
