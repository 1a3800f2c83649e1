// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qt_rank_row.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionMenuItem>

namespace tesuko {

namespace {

const QString kColumnGap = QStringLiteral("    ");

}  // namespace

RankColumns rankColumns(const QString& title) {
    const qsizetype gap = title.lastIndexOf(kColumnGap);
    if (gap < 0) {
        return {title, {}};
    }
    qsizetype nameEnd = gap;
    while (nameEnd > 0 && title.at(nameEnd - 1) == QLatin1Char(' ')) {
        --nameEnd;
    }
    return {title.left(nameEnd), title.mid(gap + kColumnGap.size())};
}

QtRankRow::QtRankRow(QMenu& menu) : menu_(menu) {
    setFocusPolicy(Qt::NoFocus);
}

void QtRankRow::setColumns(const QString& name, const QString& total) {
    name_ = name;
    total_ = total;
    updateGeometry();
    update();
}

// The option the menu would draw an unchecked, enabled, unselected item with,
// in a menu that has check marks: so the name lines up with the items above.
QStyleOptionMenuItem QtRankRow::itemOption(const QString& text) const {
    QStyleOptionMenuItem option;
    option.initFrom(&menu_);
    option.state = QStyle::State_Enabled;
    option.palette.setCurrentColorGroup(QPalette::Active);
    option.menuItemType = QStyleOptionMenuItem::Normal;
    option.checkType = QStyleOptionMenuItem::NotCheckable;
    option.menuHasCheckableItems = true;
    option.text = text;
    option.rect = rect();
    option.font = menu_.font();
    option.fontMetrics = QFontMetrics(option.font);
    return option;
}

// As far from the right edge as the name is from the left one, at most a
// few characters: a column that hugs the edge looks cut off.
int QtRankRow::rightMargin() const {
    const QFontMetrics metrics(menu_.font());
    return style()->pixelMetric(QStyle::PM_MenuHMargin, nullptr, &menu_) +
           metrics.horizontalAdvance(QLatin1Char(' ')) * 3;
}

QRect QtRankRow::totalRect() const {
    const int width = QFontMetrics(menu_.font()).horizontalAdvance(total_);
    return QRect(rect().right() - rightMargin() - width + 1, 0, width, height());
}

QSize QtRankRow::sizeHint() const {
    const QFontMetrics metrics(menu_.font());
    const QString columns = name_ + kColumnGap + total_;
    QSize text(metrics.horizontalAdvance(QString(columns).replace(QLatin1String("&&"), "&")) +
                   rightMargin(),
               metrics.height());
    const QStyleOptionMenuItem option = itemOption(name_);
    return style()->sizeFromContents(QStyle::CT_MenuItem, &option, text, &menu_);
}

void QtRankRow::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QStyleOptionMenuItem option = itemOption(name_);
    style()->drawControl(QStyle::CE_MenuItem, &option, &painter, &menu_);
    style()->drawItemText(&painter, totalRect(), Qt::AlignRight | Qt::AlignVCenter, option.palette,
                          true, total_, QPalette::Text);
}

}  // namespace tesuko
