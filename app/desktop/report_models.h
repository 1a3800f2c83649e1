// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractItemModel>
#include <QAbstractTableModel>
#include <string>
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

// The selected application's window titles, each once with its total time,
// most time first; under each, its parts of intervals within the range in
// the order they were in front: start and time.
class ReportTitlesModel : public QAbstractItemModel {
  public:
    enum Column { title, time, start, columnCount_ };

    // The parts in the order they were in front.
    void setParts(std::vector<IntervalPart> parts, const LocalDays& localDays);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    struct Title {
        std::string text;
        double seconds = 0;
        std::vector<std::size_t> parts;  // into parts_
    };
    // The index's group: a title's row is 0 inside, a part's the title's row + 1.
    static constexpr quintptr kTitleRow = 0;

    std::vector<IntervalPart> parts_;
    std::vector<QString> starts_;  // "2026-12-05 13:40:48", local
    std::vector<Title> titles_;
};

// "1:02:03": hours, minutes and seconds, for single intervals.
QString clockDuration(double seconds);

}  // namespace tesuko
