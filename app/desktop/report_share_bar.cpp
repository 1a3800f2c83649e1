// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/desktop/report_share_bar.h"

#include <QPainter>
#include <algorithm>

#include "app/desktop/report_models.h"

namespace tesuko {

void ReportShareBar::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    // The background and selection first, then the bar and, beside it, the text.
    QString text = item.text;
    item.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : nullptr;
    if (style) {
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);
    }
    const int textWidth = option.fontMetrics.horizontalAdvance(QStringLiteral("100.0 %"));
    QRect textRoom = option.rect.adjusted(option.rect.width() - textWidth - 4, 0, -4, 0);
    QRect barRoom = option.rect.adjusted(2, 3, -textWidth - 10, -3);
    double fraction =
        std::clamp(index.data(ReportApplicationsModel::ShareRole).toDouble(), 0.0, 1.0);
    QRect bar(barRoom.topLeft(), QSize(int(barRoom.width() * fraction + 0.5), barRoom.height()));
    const bool selected = option.state & QStyle::State_Selected;
    painter->fillRect(
        bar, option.palette.color(selected ? QPalette::HighlightedText : QPalette::Highlight));
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(textRoom, Qt::AlignVCenter | Qt::AlignRight, text);
}

QSize ReportShareBar::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    // Room for a bar that tells shares apart at a glance.
    return {std::max(size.width(), option.fontMetrics.averageCharWidth() * 30), size.height()};
}

}  // namespace tesuko
