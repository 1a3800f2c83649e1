// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/desktop/tray_program.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QDBusConnection>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTimer>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/app_delegate.h"
#include "app/desktop/lost_desktop.h"
#include "app/desktop/report_rules_watch.h"
#include "app/desktop/report_window.h"
#include "categories/rules_location.h"
#include "log/log_location.h"
#include "platform/dbus/running_program.h"
#include "platform/desktop/open_desktop_session.h"
#include "platform/desktop_session.h"
#include "platform/platform.h"
#include "platform/posix/env_home_folder.h"
#include "platform/posix/instance_lock.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/sibling_program.h"
#include "platform/posix/signal_pipe.h"
#include "platform/posix/syslog_system_log.h"
#include "platform/posix/system_clock.h"
#include "platform/posix/user_locale.h"
#include "platform/qt/qt_alarm.h"
#include "platform/qt/qt_privacy_dialog.h"
#include "platform/qt/qt_save_panel.h"
#include "platform/qt/qt_status_menu.h"
#include "platform/qt/qt_tool_tip.h"
#include "platform/qt/qt_translations.h"
#include "platform/qt_settings/qt_user_defaults.h"
#include "platform/xdg/xdg_login_items.h"
#include "ranking/totals_cache.h"
#include "settings/setting.h"

namespace tesuko {

namespace {

// What an autostart entry starts: `tesuko`, which runs this program.
std::optional<std::string> commandLineProgram() {
    for (const std::string& path : siblingProgramPaths("tesuko", TESUKO_BIN_FOLDER)) {
        if (std::filesystem::exists(path)) {
            return path;
        }
    }
    return std::nullopt;
}

// The desktop's services, for as long as the program runs.
struct DesktopServices {
    DesktopServices(DesktopSession& desktop, SystemLog& log, FileSystem& files)
        : fileSystem(files),
          platform{desktop.workspace(),
                   desktop.windowList(),
                   desktop.inputMonitors(),
                   desktop.idleWatch(),
                   fileSystem,
                   userDefaults,
                   savePanel,
                   loginItems,
                   log,
                   clock,
                   homeFolder,
                   alarm,
                   privacyDialog} {}

    // A whole number of seconds above 0 from the settings; none when the key
    // is absent, and none with a warning when it holds anything else.
    std::optional<std::chrono::seconds> secondsSetting(const std::string& key) {
        const std::string text = userDefaults.string(key).value_or("");
        int seconds = 0;
        const auto read = std::from_chars(text.data(), text.data() + text.size(), seconds);
        if (read.ec == std::errc{} && read.ptr == text.data() + text.size() && seconds > 0) {
            return std::chrono::seconds(seconds);
        }
        if (!text.empty()) {
            platform.systemLog.warning("The setting " + key +
                                       " is not a whole number of seconds above 0: " + text);
        }
        return std::nullopt;
    }

    FileSystem& fileSystem;
    EnvHomeFolder homeFolder;
    QtUserDefaults userDefaults;
    QtSavePanel savePanel;
    XdgLoginItems loginItems{homeFolder, fileSystem, commandLineProgram()};
    SystemClock clock;
    QtAlarm alarm{clock};
    QtPrivacyDialog privacyDialog;
    Platform platform;
};

class TrayProgram {
  public:
    TrayProgram(QApplication& app, DesktopSession& session, SystemLog& systemLog, FileSystem& files,
                SignalPipe& signalPipe, bool onlyInstance)
        : app_(app),
          session_(session),
          signals_(signalPipe),
          services_(session, systemLog, files),
          statusMenu_(systemLog),
          delegate_(services_.platform, statusMenu_, userLocale("LC_NUMERIC")),
          signalNotifier_(signalPipe.fd(), QSocketNotifier::Read) {
        app_.setQuitOnLastWindowClosed(false);  // the save dialog is no main window
        watchSignals();
        watchDesktop();
        watchSession();
        keepCheckpoints();
        if (!onlyInstance) {
            delegate_.leaveCheckpoints();
        }
        if (const auto length = services_.secondsSetting("pauseSeconds")) {
            delegate_.setPauseLength(*length);
        }
    }
    TrayProgram(const TrayProgram&) = delete;
    TrayProgram& operator=(const TrayProgram&) = delete;

    int run() {
        // Calls come through the main loop, once everything below is set up.
        if (const std::optional<std::string> why =
                runningProgram_.offer(QDBusConnection::sessionBus())) {
            services_.platform.systemLog.warning("A second launch cannot reach this one: " + *why);
        }
        delegate_.applicationDidFinishLaunching();
        if (const std::optional<DesktopNotice> notice = session_.notice()) {
            // Said once, here: the tooltip shows it for as long as the program runs.
            services_.platform.systemLog.warning(noticeInEnglish(*notice));
            delegate_.setDesktopNotice(notice);
        }
        // A locked screen and a sleeping machine are time in no application.
        sessionEvents_ = openSessionEvents(services_.platform.systemLog);
        delegate_.followSession(*sessionEvents_);
        keepTotalsBetweenRuns();
        Platform& p = services_.platform;
        rulesWatch_.emplace(p.fileSystem, p.systemLog, rulesFilePath(p.homeFolder),
                            [this](std::optional<RulesTrouble> trouble) {
                                delegate_.setRulesTrouble(std::move(trouble));
                            });
        delegate_.onShowReport([this] { showReport(); });
        traceMenuTitles();
        const int status = app_.exec();
        lostDesktopExit_.endIfDesktopLost();
        return status;
    }

  private:
    // Every signal watched asks for the same thing: write the interval and exit.
    void watchSignals() {
        QObject::connect(&signalNotifier_, &QSocketNotifier::activated, &app_, [this] {
            if (!signals_.take().empty()) {
                app_.quit();
            }
        });
    }

    void watchDesktop() {
        if (const std::optional<int> fd = session_.fd()) {
            desktopNotifier_.emplace(*fd, QSocketNotifier::Read);
            QObject::connect(&*desktopNotifier_, &QSocketNotifier::activated, &app_,
                             [this] { session_.processEvents(); });
        }
        // Replies read on the way (a window list, say) may leave events queued
        // with nothing left on the socket to wake the loop for them.
        QObject::connect(QAbstractEventDispatcher::instance(),
                         &QAbstractEventDispatcher::aboutToBlock, &app_,
                         [this] { session_.processEvents(); });
        session_.onConnectionLost([this] {
            if (desktopNotifier_) {
                desktopNotifier_->setEnabled(false);
            }
            app_.quit();
        });
    }

    void watchSession() {
        statusMenu_.onQuit([this] { app_.quit(); });
        QObject::connect(&app_, &QCoreApplication::aboutToQuit, &app_,
                         [this] { delegate_.applicationWillTerminate(); });
        // Logging out asks first and may still be cancelled: save what there is
        // and go on. The autostart entry, not the session manager, starts us again.
        QObject::connect(&app_, &QGuiApplication::commitDataRequest, &app_,
                         [this](QSessionManager& manager) {
                             manager.setRestartHint(QSessionManager::RestartNever);
                             delegate_.writeIntervalInProgress();
                         });
    }

    // A hard kill then loses at most this much of the interval in progress.
    void keepCheckpoints() {
        checkpointTimer_.setInterval(
            services_.secondsSetting("checkpointSeconds").value_or(std::chrono::minutes(1)));
        QObject::connect(&checkpointTimer_, &QTimer::timeout, &app_,
                         [this] { delegate_.recorder().saveCheckpoint(); });
        checkpointTimer_.start();
    }

    // The totals are counted at launch, so that each menu opening reads only
    // what came since; a cache saved at the last quit spares reading the log
    // whole. Without one, a large log is read in parts of a few milliseconds
    // each, with the desktop's events handled in between: switches made
    // meanwhile are each recorded when they happen. A menu opened before the
    // end reads the rest at once.
    void keepTotalsBetweenRuns() {
        const Platform& platform = services_.platform;
        std::string path = totalsCachePath(platform.homeFolder.cacheFolder());
        delegate_.log().setTotalsCache(
            std::make_unique<FileTotalsCache>(platform.fileSystem, platform.systemLog, path));
        constexpr std::uint64_t kPart = 4 << 20;
        QObject::connect(&launchScan_, &QTimer::timeout, &app_, [this] {
            // The loop does not block while parts remain, so events the
            // session's connection has already read are taken here.
            session_.processEvents();
            if (delegate_.log().scanLogPart(kPart)) {
                launchScan_.stop();
            }
        });
        launchScan_.start(0);
    }

    void showReport() {
        if (!reportWindow_) {
            Platform& p = services_.platform;
            // The shared folder while this machine records there: sharing that
            // could not start records locally.
            auto sharedFolder = [this, &p]() -> std::optional<std::string> {
                const LogLocation here = logLocationAt(delegate_.log().path());
                const auto folder = Setting(p.userDefaults, p.systemLog).getSharedFolder();
                return folder && (here.folder == *folder || here.folder == *folder + "/")
                           ? std::optional(here.folder)
                           : std::nullopt;
            };
            reportWindow_.emplace(
                delegate_.log(), p.fileSystem, p.clock, userLocale("LC_TIME"),
                rulesFilePath(p.homeFolder),
                MachineSharing{p.systemLog, p.homeFolder.cacheFolder(), std::move(sharedFolder)});
        }
        reportWindow_->showAndRaise();
    }

    // What the menu shows each time it opens, after the ranking rows were
    // refreshed: one "menu:" trace per item, with its check mark and whether
    // it can be chosen.
    void traceMenuTitles() {
        QMenu& menu = statusMenu_.menu();
        SystemLog& log = services_.platform.systemLog;
        QObject::connect(&menu, &QMenu::aboutToShow, &app_, [&menu, &log] {
            for (QAction* item : menu.actions()) {
                if (item->isSeparator()) {
                    continue;
                }
                QString line = item->text().replace(QLatin1String("&&"), QLatin1String("&"));
                line += item->isChecked() ? QLatin1String(" [checked]") : QLatin1String("");
                line += item->isEnabled() ? QLatin1String("") : QLatin1String(" [disabled]");
                log.trace("menu: " + line.toStdString());
            }
        });
    }

    QApplication& app_;
    DesktopSession& session_;
    SignalPipe& signals_;
    DesktopServices services_;
    QtStatusMenu statusMenu_;
    AppDelegate delegate_;
    QSocketNotifier signalNotifier_;
    std::optional<QSocketNotifier> desktopNotifier_;
    QTimer checkpointTimer_;
    QTimer launchScan_;
    std::unique_ptr<SessionEvents> sessionEvents_;
    std::optional<ReportWindow> reportWindow_;
    std::optional<RulesWatch> rulesWatch_;
    RunningProgram runningProgram_{[this] { showReport(); }};
    LostDesktopExit lostDesktopExit_{delegate_, session_};
};

// The system log writes the reason on stderr too.
int cannotWatch(SystemLog& systemLog, const std::string& why) {
    systemLog.error(why);
    return 2;
}

// This user's tesuko runs already: on a session bus the two share, it is
// asked to show its report window.
int showRunningOne(int argc, char** argv) {
    QCoreApplication app(argc, argv);  // for the bus connection
    if (askToShowReport(QDBusConnection::sessionBus())) {
        std::fputs("tesuko is already running: showing its report window\n", stderr);
        return 0;
    }
    std::fputs("tesuko is already running\n", stderr);
    return 1;
}

}  // namespace

int runTrayProgram(int argc, char** argv) {
    SyslogSystemLog systemLog;
    // The lock, not the bus name, keeps the program single: sessions of one
    // user need not share a bus, but they share the state folder and the log.
    InstanceLock lock(InstanceLock::defaultPath(EnvHomeFolder().stateFolder()));
    if (lock.status() == InstanceLock::Status::HeldByAnother) {
        return showRunningOne(argc, argv);
    }
    if (lock.status() == InstanceLock::Status::Failed) {
        systemLog.warning("Cannot make sure that tesuko runs only once: " + lock.error());
    }

    // Before the Qt application: it aborts without a display.
    if (std::optional<std::string> why = whyNoDesktopToWatch()) {
        return cannotWatch(systemLog, *why);
    }
    // Who we are to the desktop: the tray icon's owner, the launcher of our windows.
    QApplication::setApplicationName(QStringLiteral("tesuko"));
    QApplication::setOrganizationName(QStringLiteral("tesuko"));
    QApplication::setDesktopFileName(QStringLiteral("io.github.tesuko.Tesuko"));
    QApplication app(argc, argv);
    QtTranslations translations;
    PosixFileSystem files;
    OpenedDesktopSession desktop = openDesktopSession(systemLog, files);
    if (!desktop.session) {
        return cannotWatch(systemLog, desktop.error);
    }
    SignalPipe signalPipe{SIGTERM, SIGINT, SIGHUP};
    TrayProgram program(app, *desktop.session, systemLog, files, signalPipe,
                        lock.status() != InstanceLock::Status::Failed);
    return program.run();
}

}  // namespace tesuko
