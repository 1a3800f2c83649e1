// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/desktop/report_day_chart.h"

#include <QCoreApplication>
#include <QLocale>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "app/desktop/report_colours.h"
#include "log/civil_day.h"
#include "report/report_output.h"

namespace tesuko {

ReportDayChart::ReportDayChart(QWidget* parent) : QWidget(parent) {
    setAccessibleName(QCoreApplication::translate("ReportWindow", "Time per day"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void ReportDayChart::setDays(std::vector<DaySeconds> days, std::int32_t today,
                             std::vector<std::vector<double>> stacks, std::vector<QColor> colours) {
    days_ = std::move(days);
    stacks_ = std::move(stacks);
    colours_ = std::move(colours);
    today_ = today;
    update();
}

QSize ReportDayChart::sizeHint() const {
    return {fontMetrics().averageCharWidth() * 60, fontMetrics().height() * 8};
}

QSize ReportDayChart::minimumSizeHint() const {
    return {fontMetrics().averageCharWidth() * 20, fontMetrics().height() * 5};
}

QString ReportDayChart::dayLabel(std::int32_t day) const {
    const QString date = QString::number(civilDate(day).day);
    if (days_.size() > 14) {
        return date;
    }
    const int weekdayFromMonday = weekday(day) == 0 ? 7 : weekday(day);
    return locale().dayName(weekdayFromMonday, QLocale::ShortFormat) + QLatin1Char(' ') + date;
}

namespace {

// Seconds between the scale's lines: the shortest of the usual steps that
// needs no more than four lines.
double scaleStep(double most) {
    for (double minutes : {15, 30, 60, 120, 180, 240, 360, 480}) {
        if (most <= minutes * 60 * 4) {
            return minutes * 60;
        }
    }
    return 720 * 60;
}

}  // namespace

void ReportDayChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const ChartColours colours = ChartColours::of(palette());
    painter.fillRect(rect(), palette().color(QPalette::Base));
    if (days_.empty()) {
        return;
    }
    const QFontMetrics metrics = fontMetrics();
    const int labels = metrics.height() + 2;
    double most = 0;
    for (const DaySeconds& day : days_) {
        most = std::max(most, std::isfinite(day.seconds) ? day.seconds : 0.0);
    }
    const double step = scaleStep(most);
    const double top = std::max(1.0, std::ceil(most / step)) * step;
    const int scaleWidth = metrics.horizontalAdvance(QStringLiteral("00:00")) + 8;
    const QRect plot = rect().adjusted(scaleWidth, labels / 2, -4, -labels);
    auto height = [&](double seconds) {
        double fraction = std::isfinite(seconds) ? std::clamp(seconds / top, 0.0, 1.0) : 0;
        return int(std::lround(fraction * plot.height()));
    };
    for (double line = 0; line <= top; line += step) {
        const int y = plot.bottom() - height(line);
        painter.setPen(colours.grid);
        painter.drawLine(plot.left(), y, plot.right(), y);
        painter.setPen(colours.text);
        painter.drawText(QRect(0, y - labels / 2, scaleWidth - 6, labels),
                         Qt::AlignRight | Qt::AlignVCenter,
                         QString::fromStdString(hoursAndMinutes(line)));
    }
    const double slot = double(plot.width()) / double(days_.size());
    // A label under every bar only when there is room; otherwise under some.
    const int labelWidth = metrics.horizontalAdvance(dayLabel(days_.front().day)) + 6;
    const int every = std::max(1, int(std::ceil(labelWidth / std::max(slot, 1.0))));
    for (std::size_t i = 0; i < days_.size(); ++i) {
        const DaySeconds& day = days_[i];
        const int left = plot.left() + int(slot * double(i)) + int(slot * 0.15);
        const int width = std::max(1, int(slot * 0.7));
        if (day.day <= today_) {
            const int whole = height(day.seconds);
            painter.fillRect(left, plot.bottom() - whole, width, whole, colours.total);
            if (i < stacks_.size()) {
                double below = 0;
                for (std::size_t k = 0; k < stacks_[i].size() && k < colours_.size(); ++k) {
                    const int bottom = plot.bottom() - height(below);
                    below += stacks_[i][k];
                    const int top = plot.bottom() - height(below);
                    painter.fillRect(left, top, width, bottom - top, colours_[k]);
                }
            }
            const int part = height(day.application);
            const int inset = stacks_.empty() ? 0 : width / 3;
            painter.fillRect(left + inset, plot.bottom() - part, width - 2 * inset, part,
                             colours.selected);
        }
        if (int(i) % every == 0) {
            QRect under(left - labelWidth, plot.bottom() + 2, width + 2 * labelWidth, labels);
            painter.setPen(colours.text);
            painter.drawText(under, Qt::AlignHCenter | Qt::AlignTop, dayLabel(day.day));
        }
    }
}

}  // namespace tesuko
