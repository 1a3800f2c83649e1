// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/desktop/report_models.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <unordered_map>

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
    titles_.clear();
    std::unordered_map<std::string, std::size_t> titleRows;
    for (std::size_t i = 0; i < parts_.size(); ++i) {
        const IntervalPart& part = parts_[i];
        std::string iso = isoLocalTime(part.start, localDays);
        starts_.push_back(text(iso.substr(0, 10) + " " + iso.substr(11, 8)));
        auto [found, added] = titleRows.try_emplace(part.title, titles_.size());
        if (added) {
            titles_.push_back({part.title, 0, {}});
        }
        Title& title = titles_[found->second];
        title.seconds += std::isfinite(part.seconds) ? part.seconds : 0;
        title.parts.push_back(i);
    }
    std::stable_sort(titles_.begin(), titles_.end(),
                     [](const Title& a, const Title& b) { return a.seconds > b.seconds; });
    endResetModel();
}

QModelIndex ReportTitlesModel::index(int row, int column, const QModelIndex& parent) const {
    if (!hasIndex(row, column, parent)) {
        return {};
    }
    return createIndex(row, column, parent.isValid() ? quintptr(parent.row()) + 1 : kTitleRow);
}

QModelIndex ReportTitlesModel::parent(const QModelIndex& child) const {
    if (!child.isValid() || child.internalId() == kTitleRow) {
        return {};
    }
    return createIndex(int(child.internalId() - 1), 0, kTitleRow);
}

int ReportTitlesModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) {
        return int(titles_.size());
    }
    if (parent.internalId() != kTitleRow || parent.column() != 0) {
        return 0;
    }
    return int(titles_[std::size_t(parent.row())].parts.size());
}

int ReportTitlesModel::columnCount(const QModelIndex&) const {
    return columnCount_;
}

QVariant ReportTitlesModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const bool isTitle = index.internalId() == kTitleRow;
    const Title& group = titles_[std::size_t(isTitle ? index.row() : index.internalId() - 1)];
    if (role == Qt::TextAlignmentRole && index.column() == time) {
        return int(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (index.column() == title && isTitle &&
        (role == Qt::DisplayRole || role == Qt::ToolTipRole)) {
        return text(group.text);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    const std::size_t part = isTitle ? group.parts.front() : group.parts[std::size_t(index.row())];
    switch (index.column()) {
        case time:
            return clockDuration(isTitle ? group.seconds : parts_[part].seconds);
        case start:
            return starts_[part];
        default:
            return {};
    }
}

QVariant ReportTitlesModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    const char* titles[] = {QT_TRANSLATE_NOOP("ReportWindow", "Window title"),
                            QT_TRANSLATE_NOOP("ReportWindow", "Time"),
                            QT_TRANSLATE_NOOP("ReportWindow", "Start")};
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
