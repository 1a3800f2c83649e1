// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/desktop/report_window.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QShortcut>
#include <QSysInfo>
#include <QVBoxLayout>
#include <algorithm>
#include <sstream>

#include "app/desktop/report_add_to_category.h"
#include "app/desktop/report_colours.h"
#include "categories/rule_file.h"
#include "platform/qt/qt_tool_tip.h"
#include "platform/qt_settings/qt_user_defaults.h"
#include "report/classified_rows.h"
#include "report/interval_parts.h"
#include "report/period_step.h"

namespace tesuko {

namespace {

// Julian day number of 1970-01-01, where day numbers start.
constexpr qint64 kJulianEpoch = 2440588;
// Reading more of the log than this for one application's titles would keep
// the window from answering for a noticeable moment.
constexpr std::uint64_t kMostTitleBytes = std::uint64_t(32) << 20;
// Rules written by hand stay far below.
constexpr std::size_t kLargestRulesFile = 4 << 20;
// A category's path in the Categories view; none for the time in no category.
constexpr int kPathRole = Qt::UserRole + 2;
// Where the window's last size and place are kept, among the preferences.
constexpr const char* kGeometryKey = "reportWindowGeometry";

QDate dateOf(std::int32_t day) {
    return QDate::fromJulianDay(qint64(day) + kJulianEpoch);
}

std::int32_t dayOf(const QDate& date) {
    return std::int32_t(date.toJulianDay() - kJulianEpoch);
}

QString text(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

// What a file in the format ends in.
QString extensionOf(const ReportFormat& format) {
    return format.name == "table"                         ? QStringLiteral("txt")
           : format.name.find("json") != format.name.npos ? QStringLiteral("json")
                                                          : text(std::string(format.name));
}

}  // namespace

ReportWindow::ReportWindow(Log& log, FileSystem& fileSystem, Clock& clock, std::string locale,
                           std::string rulesPath, std::optional<MachineSharing> sharing)
    : log_(log),
      machines_(log, fileSystem, std::move(sharing)),
      fileSystem_(fileSystem),
      clock_(clock),
      firstWeekday_(firstWeekdayOf(locale)),
      rulesPath_(std::move(rulesPath)),
      machineLabel_(tr("&Machine:")),
      todayButton_(tr("Toda&y")),
      export_(tr("&Export…")),
      rules_(tr("&Rules…")),
      shareBar_(&applicationsView_) {
    setWindowTitle(tr("tesuko — Report"));
    setWindowIcon(QIcon::fromTheme(QStringLiteral("io.github.tesuko.Tesuko"),
                                   QIcon(QStringLiteral(":/tesuko/tesuko.png"))));
    buildLayout();
    connectControls();
}

void ReportWindow::buildLayout() {
    for (const char* name :
         {QT_TR_NOOP("Today"), QT_TR_NOOP("Yesterday"), QT_TR_NOOP("This Week"),
          QT_TR_NOOP("This Month"), QT_TR_NOOP("All Time"), QT_TR_NOOP("Custom Range")}) {
        period_.addItem(tr(name));
    }
    period_.setCurrentIndex(int(Choice::thisWeek));
    for (QDateEdit* edit : {&from_, &to_}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        edit->setEnabled(false);
        // Room for the whole date beside the calendar's arrow.
        edit->setMinimumWidth(edit->sizeHint().width() + fontMetrics().height());
    }
    auto* controls = new QHBoxLayout;
    auto labelled = [&](const QString& label, QWidget& field) {
        auto* caption = new QLabel(label, this);
        caption->setBuddy(&field);
        controls->addWidget(caption);
        controls->addWidget(&field);
    };
    labelled(tr("&Period:"), period_);
    labelled(tr("&From:"), from_);
    labelled(tr("&To:"), to_);
    machineLabel_.setBuddy(&machine_);
    controls->addWidget(&machineLabel_);
    controls->addWidget(&machine_);
    machineLabel_.setVisible(false);
    machine_.setVisible(false);
    previous_.setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    next_.setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    previous_.setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
    next_.setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));
    todayButton_.setShortcut(QKeySequence(Qt::ALT | Qt::Key_Home));
    previous_.setAccessibleName(tr("Previous period"));
    next_.setAccessibleName(tr("Next period"));
    previous_.setToolTip(tr("Previous period (Alt+Left)"));
    next_.setToolTip(tr("Next period (Alt+Right)"));
    todayButton_.setToolTip(tr("The period that holds today (Alt+Home)"));
    controls->addStretch(1);
    controls->addWidget(&export_);
    controls->addWidget(&rules_);
    rules_.setVisible(!rulesPath_.empty());

    applicationsView_.setModel(&applicationsModel_);
    applicationsView_.setItemDelegateForColumn(ReportApplicationsModel::share, &shareBar_);
    titlesView_.setModel(&titlesModel_);
    categoriesView_.setModel(&categoriesModel_);
    categoriesModel_.setHorizontalHeaderLabels({tr("Category"), tr("Time"), tr("Share")});
    for (QTreeView* view : {&applicationsView_, &titlesView_, &categoriesView_}) {
        view->setRootIsDecorated(false);
        view->setAllColumnsShowFocus(true);
        view->setUniformRowHeights(true);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
    }
    for (QTreeView* view : {&applicationsView_, &categoriesView_}) {
        view->header()->setStretchLastSection(false);
        view->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
        view->header()->setSectionResizeMode(ReportApplicationsModel::name, QHeaderView::Stretch);
    }
    titlesView_.setRootIsDecorated(true);
    categoriesView_.setRootIsDecorated(true);
    titlesView_.header()->setStretchLastSection(false);
    titlesView_.header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    titlesView_.header()->setSectionResizeMode(ReportTitlesModel::title, QHeaderView::Stretch);
    applicationsView_.setAccessibleName(tr("Applications"));
    titlesView_.setAccessibleName(tr("Window titles"));
    categoriesView_.setAccessibleName(tr("Categories"));
    auto* applicationsLabel = new QLabel(tr("&Applications"), this);
    applicationsLabel->setBuddy(&applicationsView_);
    titlesLabel_.setText(tr("&Window titles"));
    titlesLabel_.setBuddy(&titlesView_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    auto* steps = new QHBoxLayout;
    steps->addWidget(&previous_);
    steps->addWidget(&next_);
    steps->addWidget(&todayButton_);
    steps->addWidget(&summary_, 1);
    layout->addLayout(steps);
    auto* categoriesLabel = new QLabel(tr("&Categories"), this);
    categoriesLabel->setBuddy(&categoriesView_);
    auto* categoriesColumn = new QVBoxLayout(&categoriesPane_);
    categoriesColumn->setContentsMargins({});
    categoriesColumn->addWidget(categoriesLabel);
    categoriesColumn->addWidget(&categoriesView_);
    categoriesPane_.setVisible(false);
    auto* applicationsColumn = new QVBoxLayout;
    applicationsColumn->addWidget(applicationsLabel);
    applicationsColumn->addWidget(&applicationsView_);
    auto* lists = new QHBoxLayout;
    lists->addWidget(&categoriesPane_, 2);
    lists->addLayout(applicationsColumn, 3);
    layout->addLayout(lists, 3);
    layout->addWidget(&dayChart_, 2);
    layout->addWidget(&timeline_, 1);
    layout->addWidget(&titlesLabel_);
    layout->addWidget(&titlesView_, 3);
    setTabOrder(&period_, &from_);
    setTabOrder(&from_, &to_);
    setTabOrder(&to_, &machine_);
    setTabOrder(&machine_, &previous_);
    setTabOrder(&previous_, &next_);
    setTabOrder(&next_, &todayButton_);
    setTabOrder(&todayButton_, &export_);
    setTabOrder(&export_, &rules_);
    setTabOrder(&rules_, &categoriesView_);
    setTabOrder(&categoriesView_, &applicationsView_);
    setTabOrder(&applicationsView_, &titlesView_);
}

QSize firstWindowSize(QSize content, QSize available) {
    const QSize room = available * 0.9;  // the frame's and the panels' share
    return content.expandedTo({available.width() / 2, available.height() * 3 / 4}).boundedTo(room);
}

void ReportWindow::placeFirstTime() {
    placed_ = true;
    std::optional<std::string> saved = QtUserDefaults().string(kGeometryKey);
    // Qt moves a restored window that would be off the screens back onto one.
    if (!saved || !restoreGeometry(QByteArray::fromBase64(QByteArray::fromStdString(*saved)))) {
        resize(firstWindowSize(sizeHint(), screen()->availableGeometry().size()));
    }
}

void ReportWindow::rememberPlace() {
    QtUserDefaults defaults;
    defaults.set(kGeometryKey, saveGeometry().toBase64().toStdString());
    defaults.synchronize();
}

void ReportWindow::hideEvent(QHideEvent* event) {
    rememberPlace();
    QWidget::hideEvent(event);
}

void ReportWindow::connectControls() {
    QObject::connect(&period_, &QComboBox::currentIndexChanged, this, [this](int index) {
        bool custom = index == int(Choice::custom);
        from_.setEnabled(custom);
        to_.setEnabled(custom);
        previous_.setEnabled(index != int(Choice::allTime));
        next_.setEnabled(index != int(Choice::allTime));
        showPeriod();
    });
    for (QDateEdit* edit : {&from_, &to_}) {
        QObject::connect(edit, &QDateEdit::dateChanged, this, [this] {
            if (period_.currentIndex() == int(Choice::custom)) {
                showPeriod();
            }
        });
    }
    QObject::connect(&machine_, &QComboBox::currentIndexChanged, this, [this] { showPeriod(); });
    QObject::connect(&previous_, &QToolButton::clicked, this, [this] { stepPeriod(-1); });
    QObject::connect(&next_, &QToolButton::clicked, this, [this] { stepPeriod(1); });
    QObject::connect(&todayButton_, &QPushButton::clicked, this, [this] { showToday(); });
    QObject::connect(applicationsView_.selectionModel(), &QItemSelectionModel::currentRowChanged,
                     this, [this] { showSelectedApplication(); });
    QObject::connect(
        categoriesView_.selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
            const QModelIndexList rows = categoriesView_.selectionModel()->selectedRows();
            std::optional<CategoryPick> pick;
            if (!rows.isEmpty()) {
                const QVariant path = rows.front().data(kPathRole);
                pick = CategoryPick{path.isNull() ? std::nullopt
                                                  : std::optional(path.toString().toStdString())};
            }
            pickCategory(pick);
        });
    for (QTreeView* view : {&applicationsView_, &titlesView_}) {
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(view, &QTreeView::customContextMenuRequested, this,
                         [this, view](const QPoint& at) { offerAddToCategory(*view, at); });
    }
    QObject::connect(&export_, &QPushButton::clicked, this, [this] { exportWithDialog(); });
    QObject::connect(&rules_, &QPushButton::clicked, this, [this] { editRules(); });
    // Quitting the tray leaves the window without hiding it first.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (isVisible()) {
            rememberPlace();
        }
    });
    auto* close = new QShortcut(QKeySequence::Cancel, this);
    QObject::connect(close, &QShortcut::activated, this, [this] { this->close(); });
    auto* exportKey = new QShortcut(QKeySequence::Save, this);
    QObject::connect(exportKey, &QShortcut::activated, this, [this] { exportWithDialog(); });
    // A change of a log or of the shared folder (a machine's log that
    // appears), and a slow look as well: a watched file that is replaced
    // stops being watched.
    QObject::connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] { refresh(); });
    QObject::connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { refresh(); });
    QObject::connect(&poll_, &QTimer::timeout, this, [this] {
        if (isVisible()) {
            refresh();
        }
    });
    poll_.start(2000);
}

void ReportWindow::showAndRaise() {
    refresh();
    if (!placed_) {
        placeFirstTime();
    }
    show();
    raise();
    activateWindow();
}

void ReportWindow::choose(Choice choice) {
    period_.setCurrentIndex(int(choice));
}

void ReportWindow::chooseDays(std::int32_t first, std::int32_t last) {
    const QSignalBlocker blockFrom(from_);
    const QSignalBlocker blockTo(to_);
    from_.setDate(dateOf(first));
    to_.setDate(dateOf(last));
    if (period_.currentIndex() == int(Choice::custom)) {
        showPeriod();
    }
    choose(Choice::custom);
}

void ReportWindow::stepPeriod(int by) {
    if (!wholePeriod_.empty()) {
        const DateRange stepped = steppedRange(wholePeriod_, by);
        chooseDays(stepped.first, stepped.end - 1);
    }
}

void ReportWindow::showToday() {
    const DateRange& range = wholePeriod_;
    choose(isWholeMonth(range) ? Choice::thisMonth
           : range.days() == 7 ? Choice::thisWeek
                               : Choice::today);
}

void ReportWindow::selectApplication(const std::string& name) {
    const auto& rows = applicationsModel_.rows();
    auto found = std::find_if(rows.begin(), rows.end(),
                              [&](const ReportRow& row) { return row.application == name; });
    if (found != rows.end()) {
        applicationsView_.setCurrentIndex(
            applicationsModel_.index(int(found - rows.begin()), ReportApplicationsModel::name));
    }
}

void ReportWindow::refresh() {
    machines_.refresh();
    followLogFiles();
    showMachines();
    if (readRules() || shownPositions_ != logPositions()) {
        showPeriod();
    }
}

void ReportWindow::showMachines() {
    QStringList names{tr("All machines")};
    for (const ShownLog& log : machines_.logs()) {
        names << text(log.machine);
    }
    machineLabel_.setVisible(machines_.folder().has_value());
    machine_.setVisible(machines_.folder().has_value());
    QStringList listed;
    for (int index = 0; index < machine_.count(); ++index) {
        listed << machine_.itemText(index);
    }
    if (names != listed) {
        // Another machine, or one gone: the one picked stays picked.
        const QString picked = machine_.currentText();
        const QSignalBlocker quiet(machine_);
        machine_.clear();
        machine_.addItems(names);
        machine_.setCurrentIndex(std::max<qsizetype>(names.indexOf(picked), 0));
    }
}

std::vector<ShownLog> ReportWindow::shownLogs() const {
    std::vector<ShownLog> logs = machines_.logs();
    const std::size_t picked = std::size_t(std::max(machine_.currentIndex(), 0));
    return picked == 0 || picked > logs.size() ? logs : std::vector{logs[picked - 1]};
}

std::vector<ReadPosition> ReportWindow::logPositions() const {
    std::vector<ReadPosition> positions;
    for (const ShownLog& log : machines_.logs()) {
        positions.push_back(log.state->position);
    }
    return positions;
}

std::vector<const ScanState*> ReportWindow::shownStates() const {
    std::vector<const ScanState*> states;
    for (const ShownLog& log : shownLogs()) {
        states.push_back(log.state);
    }
    return states;
}

std::uint64_t ReportWindow::shownStretchSize() const {
    std::uint64_t size = 0;
    for (const ShownLog& log : shownLogs()) {
        size += stretchSize(*log.state, view_.range);
    }
    return size;
}

bool ReportWindow::readRules() {
    std::optional<std::string> now;
    if (!rulesPath_.empty()) {
        now = fileSystem_.readSmallFile(rulesPath_, kLargestRulesFile).bytes;
    }
    if (now == rulesText_) {
        return false;
    }
    rulesText_ = std::move(now);
    RuleSet rules = rulesText_ ? RuleSet(parseRuleFile(*rulesText_)) : RuleSet();
    if (rules.empty()) {
        classifier_.reset();
    } else {
        classifier_.emplace(std::move(rules));
    }
    return true;
}

void ReportWindow::followLogFiles() {
    QStringList paths{QString::fromStdString(log_.path())};  // nothing yet before the first record
    if (const auto& folder = machines_.folder()) {
        paths << QString::fromStdString(*folder);
    }
    for (const ShownLog& log : machines_.logs()) {
        const QString path = QString::fromStdString(log.state->position.path);
        if (!path.isEmpty() && !paths.contains(path)) {
            paths << path;
        }
    }
    QStringList watched = watcher_.files() + watcher_.directories();
    if (QSet(paths.begin(), paths.end()) != QSet(watched.begin(), watched.end())) {
        if (!watched.isEmpty()) {
            watcher_.removePaths(watched);
        }
        watcher_.addPaths(paths);
    }
}

std::int32_t ReportWindow::today() const {
    auto now =
        std::chrono::duration_cast<std::chrono::seconds>(clock_.wallNow().time_since_epoch());
    return log_.localDays().at(now.count()).wall.day;
}

DateRange ReportWindow::chosenRange() const {
    const std::int32_t today = this->today();
    switch (Choice(period_.currentIndex())) {
        case Choice::today:
            return periodRange(Period::today, today, firstWeekday_);
        case Choice::yesterday:
            return periodRange(Period::yesterday, today, firstWeekday_);
        case Choice::thisWeek:
            return periodRange(Period::thisWeek, today, firstWeekday_);
        case Choice::thisMonth:
            return periodRange(Period::thisMonth, today, firstWeekday_);
        case Choice::allTime:
            return allDays(shownStates());
        case Choice::custom:
            return {dayOf(from_.date()), dayOf(to_.date()) + 1};
    }
    return {today, today + 1};
}

std::optional<std::string> ReportWindow::selectedApplication() const {
    QModelIndex current = applicationsView_.currentIndex();
    if (!current.isValid() || current.row() >= int(applicationsModel_.rows().size())) {
        return std::nullopt;
    }
    return applicationsModel_.rows()[std::size_t(current.row())].application;
}

void ReportWindow::showPeriod() {
    std::optional<std::string> selected = selectedApplication();
    shownPositions_ = logPositions();
    wholePeriod_ = chosenRange();
    view_.range = wholePeriod_;
    if (Choice choice = Choice(period_.currentIndex());
        choice == Choice::thisWeek || choice == Choice::thisMonth) {
        view_.range.end = std::min(view_.range.end, today() + 1);  // as the report command does
    }
    if (period_.currentIndex() != int(Choice::custom) && !view_.range.empty()) {
        // Custom Range then starts from what was shown.
        const QSignalBlocker blockFrom(from_);
        const QSignalBlocker blockTo(to_);
        from_.setDate(dateOf(view_.range.first));
        to_.setDate(dateOf(view_.range.end - 1));
    }
    // Rules need every interval of the range, read again from the log: a
    // long range shows the applications by their own names.
    view_.categorised = classifier_ && shownStretchSize() <= kMostTitleBytes;
    view_.intervals = view_.categorised ? partsInOrder(std::nullopt) : std::vector<IntervalPart>();
    classified_ =
        view_.categorised ? classifiedParts(view_.intervals, *classifier_) : ClassifiedTitles();
    view_.rows = view_.categorised ? classifiedRows({&classified_, 1}, view_.range,
                                                    Grouping::application, std::nullopt)
                                   : rowsByApplication(shownStates(), view_.range);
    view_.total = totalSeconds(view_.rows);
    const std::size_t applications =
        view_.categorised ? shownApplicationRows(view_.intervals, *classifier_, std::nullopt).size()
                          : view_.rows.size();
    const QString first = text(isoDate(view_.range.first));
    const QString range = view_.range.days() <= 1
                              ? first
                              : tr("%1 to %2").arg(first, text(isoDate(view_.range.end - 1)));
    const QString hours = text(hoursAndMinutes(view_.total));
    summary_.setText(applications == 1
                         ? tr("%1 — %2 in one application").arg(range, hours)
                         : tr("%1 — %2 in %3 applications").arg(range, hours).arg(applications));
    showCategories();
    showApplications(selected);
    dayChart_.setVisible(view_.range.days() > 1);
    timeline_.setVisible(view_.range.days() == 1);
    if (timeline_.isVisibleTo(this)) {
        std::vector<IntervalPart> parts = periodParts();
        if (view_.categorised) {
            for (IntervalPart& part : parts) {
                part.application = classifier_->classify(part.application, part.title).shownName;
            }
        }
        timeline_.setParts(std::move(parts), log_.localDays());
    }
    showSelectedApplication();
}

void ReportWindow::showCategories() {
    const QSignalBlocker quiet(categoriesView_.selectionModel());
    categoriesModel_.removeRows(0, categoriesModel_.rowCount());
    topLevel_.clear();
    categoryColours_.clear();
    categoriesPane_.setVisible(view_.categorised);
    if (!view_.categorised) {
        pick_.reset();
        return;
    }
    std::vector<QStandardItem*> parents;  // by depth
    std::optional<QModelIndex> picked;
    for (const ReportRow& row :
         classifiedRows({&classified_, 1}, view_.range, Grouping::category, std::nullopt)) {
        const QString name = row.category ? text(row.category->substr(row.category->rfind('/') + 1))
                                          : tr("Uncategorized");
        QList<QStandardItem*> items{new QStandardItem(name),
                                    new QStandardItem(text(hoursAndMinutes(row.seconds))),
                                    new QStandardItem(text(shareText(row.seconds, view_.total)))};
        for (QStandardItem* item : items) {
            item->setEditable(false);
        }
        items[0]->setData(row.category ? QVariant(text(*row.category)) : QVariant(), kPathRole);
        if (row.depth == 0) {
            topLevel_.push_back(row.category);
            categoryColours_.push_back(row.category
                                           ? categoryColour(palette(), int(categoryColours_.size()))
                                           : ChartColours::of(palette()).total);
            items[0]->setData(categoryColours_.back(), Qt::DecorationRole);
        }
        parents.resize(std::size_t(row.depth));
        (parents.empty() ? categoriesModel_.invisibleRootItem() : parents.back())->appendRow(items);
        parents.push_back(items[0]);
        if (pick_ && pick_->path == row.category) {
            picked = items[0]->index();
        }
    }
    categoriesView_.expandAll();
    if (picked) {
        categoriesView_.setCurrentIndex(*picked);
    } else {
        pick_.reset();
    }
}

void ReportWindow::pickCategory(const std::optional<CategoryPick>& pick) {
    pick_ = pick;
    showApplications(selectedApplication());
    showSelectedApplication();
}

void ReportWindow::showApplications(const std::optional<std::string>& selected) {
    std::vector<ReportRow> rows =
        view_.categorised ? shownApplicationRows(view_.intervals, *classifier_, pick_) : view_.rows;
    const double total = pick_ ? totalSeconds(rows) : view_.total;
    // One update of the titles below, not one for the reset and one for the selection.
    const QSignalBlocker quiet(applicationsView_.selectionModel());
    applicationsModel_.setRows(std::move(rows), total);
    if (selected) {
        selectApplication(*selected);
    }
}

std::vector<IntervalPart> ReportWindow::partsInOrder(
    const std::optional<std::string>& application) const {
    std::vector<IntervalPart> parts;
    for (const ShownLog& log : shownLogs()) {
        readIntervalParts(
            fileSystem_, *log.state, view_.range, *log.localDays,
            [&](const IntervalPart& part) { parts.push_back(part); }, application);
    }
    std::stable_sort(parts.begin(), parts.end(), [](const auto& a, const auto& b) {
        return std::pair(a.day, a.intoDay) < std::pair(b.day, b.intoDay);
    });
    return parts;
}

std::vector<IntervalPart> ReportWindow::periodParts() const {
    return view_.categorised                       ? view_.intervals
           : shownStretchSize() <= kMostTitleBytes ? partsInOrder(std::nullopt)
                                                   : std::vector<IntervalPart>();
}

void ReportWindow::showSelectedApplication() {
    std::optional<std::string> selected = selectedApplication();
    std::vector<IntervalPart> parts;
    QString caption;
    if (!selected) {
        caption = tr("&Window titles (select an application)");
    } else if (shownStretchSize() > kMostTitleBytes) {
        caption = tr("&Window titles (a shorter period lists them)");
    } else {
        parts = view_.categorised
                    ? shownApplicationParts(view_.intervals, *classifier_, pick_, *selected)
                    : partsInOrder(selected);
        caption = tr("&Window titles of %1").arg(text(*selected));
    }
    titlesLabel_.setText(caption);
    titlesModel_.setParts(std::move(parts), log_.localDays());
    if (dayChart_.isVisibleTo(this) && view_.categorised) {
        dayChart_.setDays(
            shownSecondsPerDay(view_.intervals, *classifier_, view_.range, selected), today(),
            secondsPerDayAndCategory(view_.intervals, *classifier_, view_.range, topLevel_),
            categoryColours_);
    } else if (dayChart_.isVisibleTo(this)) {
        dayChart_.setDays(secondsPerDay(shownStates(), view_.range, selected), today());
    }
}

std::optional<QString> ReportWindow::exportTo(const QString& path,
                                              const ReportFormat& format) const {
    ReportView view = view_;
    if (format.listsIntervals && !view.categorised) {
        view.intervals = partsInOrder(std::nullopt);
        view.host = QSysInfo::machineHostName().toStdString();
    }
    std::ostringstream bytes;
    format.write(view, log_.localDays(), bytes);
    const FileError error = fileSystem_.replaceFile(QFile::encodeName(path).toStdString(),
                                                    bytes.str(), FileSystem::Access::asBefore);
    return error ? std::optional(faultInWords(*error)) : std::nullopt;
}

void ReportWindow::exportWithDialog() {
    // One filter per format; CSV, what a spreadsheet opens, chosen at first.
    QStringList filters;
    QString filter;
    for (const ReportFormat& format : reportFormats()) {
        filters << tr("%1 (*.%2)").arg(text(std::string(format.name)), extensionOf(format));
        filter = format.name == "csv" ? filters.back() : filter;
    }
    QString suggested = text("tesuko-report-" + isoDate(view_.range.first) + ".csv");
    QString path = QFileDialog::getSaveFileName(this, tr("Export Report"), suggested,
                                                filters.join(QStringLiteral(";;")), &filter);
    if (path.isEmpty()) {
        return;
    }
    const ReportFormat& format =
        reportFormats()[std::size_t(std::max<qsizetype>(filters.indexOf(filter), 0))];
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QLatin1Char('.') + extensionOf(format);
    }
    if (auto error = exportTo(path, format)) {
        QMessageBox::warning(this, tr("Export Report"),
                             tr("Could not write %1: %2").arg(path, *error));
    }
}

void ReportWindow::offerAddToCategory(const QTreeView& view, const QPoint& at) {
    const QModelIndex index = view.indexAt(at);
    const bool title = &view == &titlesView_;
    // A title's row, not one of its intervals beneath it.
    if (rulesPath_.empty() || !index.isValid() || (title && index.parent().isValid())) {
        return;
    }
    const std::string what =
        title ? index.siblingAtColumn(ReportTitlesModel::title).data().toString().toStdString()
              : applicationsModel_.rows()[std::size_t(index.row())].application;
    QMenu menu;
    if (menu.addAction(tr("Add to &Category…")) != menu.exec(view.viewport()->mapToGlobal(at))) {
        return;
    }
    ReportAddToCategory dialog(this, text(what), rulesText_.value_or(""));
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    if (auto error = addRule(dialog.category(), title, what, dialog.place())) {
        QMessageBox::warning(this, tr("Add to Category"), *error);
    }
}

std::optional<QString> ReportWindow::addRule(const std::string& category, bool title,
                                             const std::string& what, RulePlace place) {
    const std::optional<std::string> line = ruleLine(category, title, what);
    if (!line) {
        return tr("“%1” is not a category; name one like Work/Mail").arg(text(category));
    }
    // The file as it is now: it may have been edited since the window read it.
    const FileContents now = fileSystem_.readSmallFile(rulesPath_, kLargestRulesFile);
    if (!now.bytes && fileSystem_.exists(rulesPath_)) {
        return faultInWords(now.error);
    }
    return writeRules(withRuleLine(now.bytes.value_or(""), *line, place));
}

std::optional<QString> ReportWindow::writeRules(const std::string& bytes) {
    // The folder too, when there is none yet.
    if (FileError error =
            fileSystem_.replaceFile(rulesPath_, bytes, FileSystem::Access::privateToUser)) {
        return faultInWords(*error);
    }
    refresh();
    return std::nullopt;
}

void ReportWindow::editRules() {
    if (!rulesEditor_) {
        rulesEditor_.emplace(this, [this](const std::string& bytes) { return writeRules(bytes); });
    }
    rulesEditor_->edit(rulesText_.value_or(""), periodParts());
    rulesEditor_->show();
    rulesEditor_->raise();
    rulesEditor_->activateWindow();
}

}  // namespace tesuko
