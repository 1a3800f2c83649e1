// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMenu>
#include <QString>
#include <QStyleOptionMenuItem>
#include <QWidget>

namespace tesuko {

// A ranking row's text as the ranking writes it, "1 : Editor      1,234",
// in its two columns: the name part ("1 : Editor") and the total ("1,234"),
// which follows the last run of at least four spaces. A text without such a
// run is all name.
struct RankColumns {
    QString name;
    QString total;
};
RankColumns rankColumns(const QString& title);

// A ranking row inside the menu: drawn by the menu's style as an ordinary
// item, in the normal text colour, with the total right-aligned at the
// menu's right edge so that the totals of all rows form a column. It is no
// menu item: it takes neither clicks nor the keyboard, so it cannot be chosen,
// without the grey of a disabled item that dark themes make unreadable.
class QtRankRow : public QWidget {
  public:
    explicit QtRankRow(QMenu& menu);

    // `name` as a menu item text: "&&" for "&".
    void setColumns(const QString& name, const QString& total);
    const QString& name() const { return name_; }
    const QString& total() const { return total_; }
    // Where the total is drawn, in the row's coordinates.
    QRect totalRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QStyleOptionMenuItem itemOption(const QString& text) const;
    int rightMargin() const;

    QMenu& menu_;
    QString name_;
    QString total_;
};

}  // namespace tesuko
