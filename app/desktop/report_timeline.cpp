// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/desktop/report_timeline.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cmath>

#include "report/report_output.h"

namespace tesuko {

namespace {

// Shorter gaps are the rounding of the log's times, or a moment between two
// switches, and would not show at a day's scale anyway.
constexpr double kLeastGap = 60;

QString text(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

QString translated(const char* source) {
    return QCoreApplication::translate("ReportWindow", source);
}

// Hues as far apart as they can be for the first applications of the day,
// a golden angle from one to the next.
QColor applicationColour(std::size_t index, const QPalette& palette) {
    const bool dark = palette.color(QPalette::Base).lightness() < 128;
    const int hue = int(std::lround(205 + double(index) * 137.508)) % 360;
    return QColor::fromHsv(hue, dark ? 150 : 170, dark ? 210 : 190);
}

}  // namespace

std::vector<TimelineSpan> timelineSpans(const std::vector<IntervalPart>& parts) {
    std::vector<TimelineSpan> spans;
    double reached = 0;  // the latest end so far: a clock set back makes parts overlap
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const double start = double(parts[i].intoDay);
        const double seconds = std::isfinite(parts[i].seconds) ? parts[i].seconds : 0;
        if (!spans.empty() && start - reached >= kLeastGap) {
            spans.push_back({reached, start, std::nullopt});
        }
        spans.push_back({start, start + std::max(seconds, 0.0), i});
        reached = std::max(reached, spans.back().end);
    }
    return spans;
}

ReportTimeline::ReportTimeline(QWidget* parent) : QWidget(parent) {
    setAccessibleName(translated(QT_TRANSLATE_NOOP("ReportWindow", "Timeline of the day")));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void ReportTimeline::setParts(std::vector<IntervalPart> parts, const LocalDays& localDays) {
    parts_ = std::move(parts);
    localDays_ = &localDays;
    dayStart_ = parts_.empty() ? 0 : localDays.dayStart(parts_.front().day);
    spans_ = timelineSpans(parts_);
    applications_.clear();
    for (const IntervalPart& part : parts_) {
        applications_.try_emplace(part.application, applications_.size());
    }
    tips_.clear();
    for (const TimelineSpan& span : spans_) {
        const QString times = clockText(span.start) + QStringLiteral("–") + clockText(span.end);
        if (!span.part) {
            tips_.push_back(
                translated(QT_TRANSLATE_NOOP("ReportWindow", "Not recorded, %1")).arg(times));
            continue;
        }
        const IntervalPart& part = parts_[*span.part];
        tips_.push_back(
            QStringLiteral("%1 — %2\n%3").arg(text(part.application), text(part.title), times));
    }
    update();
}

QString ReportTimeline::clockText(double intoDay) const {
    std::string iso = isoLocalTime(dayStart_ + std::llround(intoDay), *localDays_);
    return text(iso.substr(11, 5));
}

QSize ReportTimeline::sizeHint() const {
    return {fontMetrics().averageCharWidth() * 60, fontMetrics().height() * 5};
}

QSize ReportTimeline::minimumSizeHint() const {
    return {fontMetrics().averageCharWidth() * 20, fontMetrics().height() * 4};
}

QRect ReportTimeline::band() const {
    const int labels = 2 * fontMetrics().height() + 8;  // the hours and the legend
    const int side = fontMetrics().horizontalAdvance(QStringLiteral("00:00")) / 2 + 4;
    return rect().adjusted(side, 4, -side, -labels);
}

void ReportTimeline::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    if (spans_.empty()) {
        return;
    }
    const QRect band = this->band();
    const double first = spans_.front().start;
    const double length = this->length();
    auto x = [&](double seconds) {
        return band.left() + int(std::lround((seconds - first) / length * band.width()));
    };
    painter.fillRect(band, QBrush(palette().color(QPalette::Text), Qt::BDiagPattern));
    for (const TimelineSpan& span : spans_) {
        if (span.part) {
            QRect stretch(x(span.start), band.top(), std::max(1, x(span.end) - x(span.start)),
                          band.height());
            painter.fillRect(
                stretch,
                applicationColour(applications_.at(parts_[*span.part].application), palette()));
        }
    }
    // The hours under the band, as many as have room.
    painter.setPen(palette().color(QPalette::Text));
    const int labelWidth = fontMetrics().horizontalAdvance(QStringLiteral("00:00")) + 8;
    const double hourWidth = 3600 / length * band.width();
    const int every = std::max(1, int(std::ceil(labelWidth / std::max(hourWidth, 1.0))));
    for (double hour = std::ceil(first / 3600) * 3600; hour <= first + length;
         hour += 3600.0 * every) {
        const int at = x(hour);
        painter.drawLine(at, band.bottom(), at, band.bottom() + 3);
        painter.drawText(
            QRect(at - labelWidth / 2, band.bottom() + 3, labelWidth, fontMetrics().height()),
            Qt::AlignHCenter | Qt::AlignTop, clockText(hour));
    }
    // Which colour is which application, in the order they first came up.
    std::vector<std::pair<std::size_t, QString>> legend;
    for (const auto& [application, index] : applications_) {
        legend.emplace_back(index, text(application));
    }
    std::sort(legend.begin(), legend.end());
    const int line = fontMetrics().height();
    int left = band.left();
    for (const auto& [index, name] : legend) {
        const int width = line + 4 + fontMetrics().horizontalAdvance(name) + line;
        if (left + width > rect().right()) {
            break;
        }
        const int top = rect().bottom() - line - 2;
        painter.fillRect(left, top + 2, line - 4, line - 4, applicationColour(index, palette()));
        painter.drawText(QRect(left + line, top, width - line, line),
                         Qt::AlignLeft | Qt::AlignVCenter, name);
        left += width;
    }
}

bool ReportTimeline::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip || spans_.empty()) {
        return QWidget::event(event);
    }
    auto* help = static_cast<QHelpEvent*>(event);
    const QRect band = this->band();
    const double at = spans_.front().start +
                      double(help->pos().x() - band.left()) / std::max(1, band.width()) * length();
    auto under = std::find_if(spans_.begin(), spans_.end(), [&](const TimelineSpan& span) {
        return at >= span.start && at <= span.end;
    });
    if (band.contains(help->pos()) && under != spans_.end()) {
        QToolTip::showText(help->globalPos(), tips_[std::size_t(under - spans_.begin())], this);
    } else {
        QToolTip::hideText();
        event->ignore();
    }
    return true;
}

double ReportTimeline::length() const {
    return std::max(spans_.back().end - spans_.front().start, 1.0);
}

}  // namespace tesuko
