// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QWidget>
#include <optional>
#include <string>

#include "app/desktop/report_categories.h"
#include "app/desktop/report_day_chart.h"
#include "app/desktop/report_machines.h"
#include "app/desktop/report_models.h"
#include "app/desktop/report_rule_line.h"
#include "app/desktop/report_rules_editor.h"
#include "app/desktop/report_share_bar.h"
#include "app/desktop/report_timeline.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "ranking/log.h"
#include "report/report_output.h"
#include "report/title_days_cache.h"

namespace tesuko {

// The report window that "Show Report…" opens: a period, stepped back and
// forth by its arrows, the applications of that period as bars with h:mm and
// share, the time per day when the period is longer than one or a timeline
// when it is one day, and the window titles of the selected application, each
// with its time and its intervals beneath. With a rules file, applications
// go by their aliases and a Categories view picks whose time the lists show.
// It reads the tray's own Log, so what it shows is the menu's count split by
// day, and follows the log while it is open. While a folder is shared with
// other machines, it shows their logs too, all machines or the one picked.
class ReportWindow : public QWidget {
    Q_DECLARE_TR_FUNCTIONS(ReportWindow)

  public:
    // The choices of the period selector, in its order.
    enum class Choice { today, yesterday, thisWeek, thisMonth, allTime, custom };

    // Without a rules path, or while no file is there, no categories.
    ReportWindow(Log& log, FileSystem& fileSystem, Clock& clock, std::string locale = {},
                 std::string rulesPath = {}, std::optional<MachineSharing> sharing = std::nullopt);

    // Counts what the log gained, then shows the window in front.
    void showAndRaise();

    void choose(Choice choice);
    // Both days included; chooses Custom Range.
    void chooseDays(std::int32_t first, std::int32_t last);
    // Shows the period `by` periods later (earlier when negative) as a
    // Custom Range; what the arrows beside the period selector do.
    void stepPeriod(int by);
    // Back to the period of this kind that holds today: today, this week or this month.
    void showToday();
    // Selects the application's row, if it has one in the period.
    void selectApplication(const std::string& name);
    // Counts what the log gained and shows it; what a change of the file triggers.
    void refresh();
    // Writes the period in one of the report formats; why not, when it could not.
    std::optional<QString> exportTo(const QString& path, const ReportFormat& format) const;

    // Shows the time of that category alone (its children's included); none: all of it.
    void pickCategory(const std::optional<CategoryPick>& pick);

    // Writes the rule that puts the application's (by its shown name) or the
    // window title's time in the category, then shows the new figures; why
    // not, when it could not.
    std::optional<QString> addRule(const std::string& category, bool title, const std::string& what,
                                   RulePlace place);

    // Opens the rules editor on the rules file, counting over the period shown.
    void editRules();
    const std::optional<ReportRulesEditor>& rulesEditor() const { return rulesEditor_; }

    const ReportApplicationsModel& applications() const { return applicationsModel_; }
    const QStandardItemModel& categories() const { return categoriesModel_; }
    const ReportTitlesModel& titles() const { return titlesModel_; }
    const ReportDayChart& dayChart() const { return dayChart_; }
    const ReportTimeline& timeline() const { return timeline_; }
    const DateRange& range() const { return view_.range; }
    // "All machines", then each machine; shown while a folder is shared.
    QComboBox& machineFilter() { return machine_; }

  protected:
    void hideEvent(QHideEvent* event) override;

  private:
    void buildLayout();
    void placeFirstTime();
    void rememberPlace();
    void connectControls();
    std::int32_t today() const;
    // The logs of the machine picked, or all of them.
    std::vector<ShownLog> shownLogs() const;
    std::vector<const ScanState*> shownStates() const;
    std::uint64_t shownStretchSize() const;
    // Where each log's count is, of all machines.
    std::vector<ReadPosition> logPositions() const;
    void showMachines();
    DateRange chosenRange() const;
    void showPeriod();
    // The parts of the range's intervals (the application's only, when one
    // is given) in the order they were in front.
    std::vector<IntervalPart> partsInOrder(const std::optional<std::string>& application) const;
    // All of them; none when the range is too long to read again.
    std::vector<IntervalPart> periodParts() const;
    // Reads the rules file again; whether it changed.
    bool readRules();
    void showCategories();
    void showApplications(const std::optional<std::string>& selected);
    void showSelectedApplication();
    std::optional<std::string> selectedApplication() const;
    void followLogFiles();
    void exportWithDialog();
    void offerAddToCategory(const QTreeView& view, const QPoint& at);
    // Replaces the rules file and shows what the new rules make of the period.
    std::optional<QString> writeRules(const std::string& bytes);

    Log& log_;
    ReportMachines machines_;
    FileSystem& fileSystem_;
    Clock& clock_;
    int firstWeekday_;
    DateRange wholePeriod_;  // the chosen period; view_ ends a week or month today
    ReportView view_;
    std::vector<ReadPosition> shownPositions_;
    std::string rulesPath_;
    std::optional<std::string> rulesText_;
    std::optional<Classifier> classifier_;  // while there are rules
    ClassifiedTitles classified_;           // the shown range's windows, by the rules
    std::optional<CategoryPick> pick_;
    std::vector<std::optional<std::string>> topLevel_;  // of the tree, in its order
    std::vector<QColor> categoryColours_;               // of topLevel_
    bool placed_ = false;

    QComboBox period_;
    QDateEdit from_;
    QDateEdit to_;
    QLabel machineLabel_;
    QComboBox machine_;
    QToolButton previous_;
    QToolButton next_;
    QPushButton todayButton_;
    QPushButton export_;
    QPushButton rules_;
    QLabel summary_;
    QWidget categoriesPane_;
    QStandardItemModel categoriesModel_;
    QTreeView categoriesView_;
    ReportApplicationsModel applicationsModel_;
    QTreeView applicationsView_;
    ReportShareBar shareBar_;
    ReportDayChart dayChart_;
    ReportTimeline timeline_;
    QLabel titlesLabel_;
    ReportTitlesModel titlesModel_;
    QTreeView titlesView_;
    QFileSystemWatcher watcher_;
    QTimer poll_;
    std::optional<ReportRulesEditor> rulesEditor_;
};

// The size a window first opens at: what its content asks for, and at least
// enough of the screen for the lists to show more than a few rows, yet within
// the room the screen leaves for windows and their frames.
QSize firstWindowSize(QSize content, QSize available);

}  // namespace tesuko
