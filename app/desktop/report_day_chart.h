// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <cstdint>
#include <vector>

#include "report/report_rows.h"

namespace tesuko {

// Seconds per day of the range as vertical bars, one per day, with the part of
// the selected application drawn over each in the highlight colour; a scale
// of h:mm lines, the days named in the user's language, and no bars for the
// days still to come.
class ReportDayChart : public QWidget {
  public:
    explicit ReportDayChart(QWidget* parent = nullptr);

    // Every day of the range, the selected application's seconds as
    // `application`; with rules, each day's bar stacked of its categories'
    // seconds, in their colours, the application's part a narrow bar inside.
    void setDays(std::vector<DaySeconds> days, std::int32_t today,
                 std::vector<std::vector<double>> stacks = {}, std::vector<QColor> colours = {});
    const std::vector<DaySeconds>& days() const { return days_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString dayLabel(std::int32_t day) const;

    std::vector<DaySeconds> days_;
    std::vector<std::vector<double>> stacks_;  // by day, then category
    std::vector<QColor> colours_;              // by category
    std::int32_t today_ = 0;
};

}  // namespace tesuko
