// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "ranking/local_days.h"
#include "report/interval_parts.h"
#include "report/report_rows.h"

namespace tesuko {

// The applications of the range: name, h:mm and share, largest first. The
// share as a fraction (ShareRole) is what the bars are drawn from.
class ReportApplicationsModel : public QAbstractTableModel {
  public:
    enum Column { name, time, share, columnCount_ };
    static constexpr int ShareRole = Qt::UserRole + 1;

    void setRows(std::vector<ReportRow> rows, double total);
    const std::vector<ReportRow>& rows() const { return rows_; }
    double total() const { return total_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::vector<ReportRow> rows_;
    double total_ = 0;
};

// The selected application's window titles in the order they were in front:
// start, time and title of each part of an interval within the range.
class ReportTitlesModel : public QAbstractTableModel {
  public:
    enum Column { start, time, title, columnCount_ };

    void setParts(std::vector<IntervalPart> parts, const LocalDays& localDays);
    const std::vector<IntervalPart>& parts() const { return parts_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::vector<IntervalPart> parts_;
    std::vector<QString> starts_;  // "2026-12-05 13:40:48", local
};

// "1:02:03": hours, minutes and seconds, for single intervals.
QString clockDuration(double seconds);

}  // namespace tesuko
