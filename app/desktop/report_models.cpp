// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/desktop/report_models.h"

#include <QCoreApplication>

#include <cmath>

#include "report/report_output.h"

namespace tesuko {

namespace {

QString text(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

}  // namespace

void ReportApplicationsModel::setRows(std::vector<ReportRow> rows, double total) {
    beginResetModel();
    rows_ = std::move(rows);
    total_ = total;
    endResetModel();
}

int ReportApplicationsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int ReportApplicationsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columnCount_;
}

QVariant ReportApplicationsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(rows_.size())) {
        return {};
    }
    const ReportRow& row = rows_[std::size_t(index.row())];
    double fraction = total_ > 0 && std::isfinite(row.seconds) ? row.seconds / total_ : 0.0;
    if (role == ShareRole) {
        return fraction;
    }
    if (role == Qt::TextAlignmentRole && index.column() != name) {
        return int(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role == Qt::ToolTipRole || role == Qt::AccessibleTextRole) {
        return text(row.application + ", " + hoursAndMinutes(row.seconds) + ", " +
                    shareText(row.seconds, total_));
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    switch (index.column()) {
        case name:
            return text(row.application);
        case time:
            return text(hoursAndMinutes(row.seconds));
        case share:
            return text(shareText(row.seconds, total_));
        default:
            return {};
    }
}

QVariant ReportApplicationsModel::headerData(int section, Qt::Orientation orientation,
                                             int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    const char* titles[] = {QT_TRANSLATE_NOOP("ReportWindow", "Application"),
                            QT_TRANSLATE_NOOP("ReportWindow", "Time"),
                            QT_TRANSLATE_NOOP("ReportWindow", "Share")};
    return section >= 0 && section < columnCount_
               ? QCoreApplication::translate("ReportWindow", titles[section])
               : QVariant();
}

void ReportTitlesModel::setParts(std::vector<IntervalPart> parts, const LocalDays& localDays) {
    beginResetModel();
    parts_ = std::move(parts);
    starts_.clear();
    for (const IntervalPart& part : parts_) {
        std::string iso = isoLocalTime(localDays.dayStart(part.day) + part.intoDay, localDays);
        starts_.push_back(text(iso.substr(0, 10) + " " + iso.substr(11, 8)));
    }
    endResetModel();
}

int ReportTitlesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(parts_.size());
}

int ReportTitlesModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columnCount_;
}

QVariant ReportTitlesModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(parts_.size())) {
        return {};
    }
    const IntervalPart& part = parts_[std::size_t(index.row())];
    if (role == Qt::TextAlignmentRole && index.column() == time) {
        return int(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role == Qt::ToolTipRole && index.column() == title) {
        return text(part.title);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    switch (index.column()) {
        case start:
            return starts_[std::size_t(index.row())];
        case time:
            return clockDuration(part.seconds);
        case title:
            return text(part.title);
        default:
            return {};
    }
}

QVariant ReportTitlesModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    const char* titles[] = {QT_TRANSLATE_NOOP("ReportWindow", "Start"),
                            QT_TRANSLATE_NOOP("ReportWindow", "Time"),
                            QT_TRANSLATE_NOOP("ReportWindow", "Window title")};
    return section >= 0 && section < columnCount_
               ? QCoreApplication::translate("ReportWindow", titles[section])
               : QVariant();
}

QString clockDuration(double seconds) {
    if (!std::isfinite(seconds)) {
        return QStringLiteral("-:--:--");
    }
    long long whole = std::llround(std::fabs(seconds));
    return QString::asprintf("%s%lld:%02lld:%02lld", seconds < 0 && whole > 0 ? "-" : "",
                             whole / 3600, whole / 60 % 60, whole % 60);
}

}  // namespace tesuko
