// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <cstdint>
#include <vector>

#include "report/report_rows.h"

namespace tesuko {

// Seconds per day of the range as vertical bars, one per day, with the part of
// the selected application drawn over each in the highlight colour.
class ReportDayChart : public QWidget {
  public:
    explicit ReportDayChart(QWidget* parent = nullptr);

    // Every day of the range, the selected application's seconds as `application`.
    void setDays(std::vector<DaySeconds> days);
    const std::vector<DaySeconds>& days() const { return days_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::vector<DaySeconds> days_;
};

}  // namespace tesuko
