// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPalette>

namespace tesuko {

// WCAG 2's contrast of two colours, from 1 (the same) to 21 (black on white).
double contrastRatio(const QColor& a, const QColor& b);

// The colours of the report's charts, from the palette's roles so that they
// follow the theme, each standing out from the palette's Base at least 3:1,
// the least WCAG asks of graphics.
struct ChartColours {
    QColor total;     // all applications
    QColor selected;  // the selected application, drawn over the total
    QColor grid;      // the scale's lines, which only need to be seen
    QColor text;

    static ChartColours of(const QPalette& palette);
};

// The colour of the top-level category at that index: hues far apart, as
// light or dark as the theme's Highlight, and standing out from Base 3:1.
QColor categoryColour(const QPalette& palette, int index);

}  // namespace tesuko
