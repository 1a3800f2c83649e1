// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStyledItemDelegate>

namespace tesuko {

// Draws an application's share of the range as a horizontal bar beside the
// share text, in the palette's highlight colour so that it reads in light and
// dark themes; the text stays the item's own, never under the bar.
class ReportShareBar : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace tesuko
