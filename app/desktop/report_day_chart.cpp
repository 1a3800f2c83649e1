// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/desktop/report_day_chart.h"

#include <QCoreApplication>

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "log/civil_day.h"
#include "report/report_output.h"

namespace tesuko {

ReportDayChart::ReportDayChart(QWidget* parent) : QWidget(parent) {
    setAccessibleName(QCoreApplication::translate("ReportWindow", "Time per day"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void ReportDayChart::setDays(std::vector<DaySeconds> days) {
    days_ = std::move(days);
    update();
}

QSize ReportDayChart::sizeHint() const {
    return {fontMetrics().averageCharWidth() * 60, fontMetrics().height() * 8};
}

QSize ReportDayChart::minimumSizeHint() const {
    return {fontMetrics().averageCharWidth() * 20, fontMetrics().height() * 5};
}

void ReportDayChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& colours = palette();
    painter.fillRect(rect(), colours.color(QPalette::Base));
    if (days_.empty()) {
        return;
    }
    const QFontMetrics metrics = fontMetrics();
    const int labels = metrics.height() + 2;
    double most = 0;
    for (const DaySeconds& day : days_) {
        most = std::max(most, std::isfinite(day.seconds) ? day.seconds : 0.0);
    }
    QRect plot = rect().adjusted(4, labels, -4, -labels);
    painter.setPen(colours.color(QPalette::Text));
    painter.drawText(rect().adjusted(4, 0, -4, 0), Qt::AlignTop | Qt::AlignLeft,
                     QString::fromStdString(hoursAndMinutes(most)));
    const double slot = double(plot.width()) / double(days_.size());
    // A date under every bar only when there is room; otherwise under some.
    const int dateWidth = metrics.horizontalAdvance(QStringLiteral("00")) + 4;
    const int every = std::max(1, int(std::ceil(dateWidth / std::max(slot, 1.0))));
    QColor total = colours.color(QPalette::Mid);
    QColor selected = colours.color(QPalette::Highlight);
    for (std::size_t i = 0; i < days_.size(); ++i) {
        const DaySeconds& day = days_[i];
        auto height = [&](double seconds) {
            double fraction =
                most > 0 && std::isfinite(seconds) ? std::max(seconds, 0.0) / most : 0;
            return int(std::lround(fraction * plot.height()));
        };
        int left = plot.left() + int(slot * double(i)) + int(slot * 0.15);
        int width = std::max(1, int(slot * 0.7));
        int whole = height(day.seconds);
        painter.fillRect(left, plot.bottom() - whole, width, whole, total);
        int part = height(day.application);
        painter.fillRect(left, plot.bottom() - part, width, part, selected);
        if (int(i) % every == 0) {
            QRect under(left - dateWidth, plot.bottom() + 2, width + 2 * dateWidth, labels);
            painter.setPen(colours.color(QPalette::Text));
            painter.drawText(under, Qt::AlignHCenter | Qt::AlignTop,
                             QString::number(civilDate(day.day).day));
        }
    }
}

}  // namespace tesuko
