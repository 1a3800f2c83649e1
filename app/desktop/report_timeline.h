// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "ranking/local_days.h"
#include "report/interval_parts.h"

namespace tesuko {

// A stretch of the day's band: one part of an interval, or a gap in the
// records (locked, asleep, or tesuko not running). Seconds after the day began.
struct TimelineSpan {
    double start = 0;
    double end = 0;
    std::optional<std::size_t> part;  // into the parts; none for a gap
};

// The day's parts as spans from the first to the last, with the gaps between
// them that are long enough to matter; the parts in the order they began.
std::vector<TimelineSpan> timelineSpans(const std::vector<IntervalPart>& parts);

// One day as a horizontal band from its first record to its last, coloured
// by application, its gaps hatched, the application, title and times of a
// stretch in its tooltip: what totals cannot tell, when things were done.
class ReportTimeline : public QWidget {
  public:
    explicit ReportTimeline(QWidget* parent = nullptr);

    // The parts of one day, in the order they began.
    void setParts(std::vector<IntervalPart> parts, const LocalDays& localDays);
    const std::vector<TimelineSpan>& spans() const { return spans_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    QRect band() const;
    // Seconds from the first span's start to the last one's end; at least one.
    double length() const;
    // The wall clock's "09:30" at seconds after the day began.
    QString clockText(double intoDay) const;

    std::vector<IntervalPart> parts_;
    std::vector<TimelineSpan> spans_;
    std::vector<QString> tips_;                                  // one per span
    std::unordered_map<std::string, std::size_t> applications_;  // to their order of coming up
    std::int64_t dayStart_ = 0;
    const LocalDays* localDays_ = nullptr;
};

}  // namespace tesuko
