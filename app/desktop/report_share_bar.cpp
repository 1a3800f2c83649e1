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
    // The background and selection first, then the bar, then the text over it.
    QString text = item.text;
    item.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : nullptr;
    if (style) {
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);
    }
    double fraction =
        std::clamp(index.data(ReportApplicationsModel::ShareRole).toDouble(), 0.0, 1.0);
    QRect room = option.rect.adjusted(2, 3, -2, -3);
    QRect bar(room.topLeft(), QSize(int(room.width() * fraction + 0.5), room.height()));
    QColor colour = option.palette.color(QPalette::Highlight);
    if (option.state & QStyle::State_Selected) {
        colour = option.palette.color(QPalette::HighlightedText);
    }
    colour.setAlphaF(0.55f);
    painter->fillRect(bar, colour);
    QPalette::ColorRole role =
        option.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text;
    painter->setPen(option.palette.color(role));
    painter->drawText(room.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignRight, text);
}

QSize ReportShareBar::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    // Room for a bar that tells shares apart at a glance.
    return {std::max(size.width(), option.fontMetrics.averageCharWidth() * 24), size.height()};
}

}  // namespace tesuko
