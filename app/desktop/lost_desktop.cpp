// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/desktop/lost_desktop.h"

#include <poll.h>

#include <QCoreApplication>
#include <QThread>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace tesuko {

namespace {

using namespace std::chrono_literals;

// Our own connection to a compositor hangs up moments after Qt's.
constexpr auto kHangUpWait = 200ms;
// Long enough for the main thread to write the interval and end the process.
constexpr auto kMainThreadWait = 5s;

AppDelegate* gDelegate = nullptr;
DesktopSession* gSession = nullptr;
// Read from Qt's threads too. Done once the program wrote the interval in
// progress on its way out, whichever way.
enum class Stage { notRunning, running, saving, done };
std::atomic<Stage> gStage{Stage::notRunning};
QtMessageHandler gQtHandler = nullptr;

// Reading the hang-up lets the session tell a lost desktop from windows
// that closed as it went.
void awaitHangUp() {
    if (const std::optional<int> fd = gSession->fd()) {
        pollfd watched{*fd, 0, 0};  // hang-ups and errors are reported anyway
        ::poll(&watched, 1, int(std::chrono::milliseconds(kHangUpWait).count()));
    }
}

// Writes the interval in progress, once. Reading first lets our session
// notice a lost desktop, so that the window list falls back to the windows
// it knew.
bool saveInterval() {
    Stage running = Stage::running;
    if (!gStage.compare_exchange_strong(running, Stage::saving)) {
        return false;
    }
    awaitHangUp();
    gSession->processEvents();
    gDelegate->applicationWillTerminate();
    gStage = Stage::done;
    return true;
}

[[noreturn]] void endCleanly() {
    std::fflush(nullptr);
    std::_Exit(0);
}

// Runs at exit(): the xcb plugin's, or any other.
void finishAtExit() {
    if (saveInterval() && gSession->connectionLost()) {
        endCleanly();
    }
}

bool waylandConnectionBroke(const QString& message) {
    return message.startsWith(QLatin1String("The Wayland connection"));
}

// The main thread writes the interval: it may be at it already, having
// noticed the hang-up on our own connection. Qt's thread then must not end
// the process before it is done.
bool awaitMainThread() {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [] {
            saveInterval();
            endCleanly();
        },
        Qt::QueuedConnection);
    const auto deadline = std::chrono::steady_clock::now() + kMainThreadWait;
    while (gStage != Stage::done && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
    return gStage == Stage::done;
}

// Qt calls _exit(1) when this returns; the interval must be written before.
void onQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    gQtHandler(type, context, message);
    if (!waylandConnectionBroke(message) || gStage == Stage::notRunning) {
        return;
    }
    if (QThread::currentThread() != QCoreApplication::instance()->thread()) {
        if (awaitMainThread()) {
            endCleanly();
        }
    } else if (saveInterval() || gStage == Stage::done) {
        endCleanly();
    }
}

}  // namespace

LostDesktopExit::LostDesktopExit(AppDelegate& delegate, DesktopSession& session) {
    gDelegate = &delegate;
    gSession = &session;
    static std::once_flag installed;
    std::call_once(installed, [] {
        std::atexit(finishAtExit);
        gQtHandler = qInstallMessageHandler(onQtMessage);
    });
    gStage = Stage::running;
}

// Taking the rest down would only talk to a server that is gone, and Qt's
// xcb plugin leaves a broken display's memory as it was.
void LostDesktopExit::endIfDesktopLost() {
    if (gSession->connectionLost()) {
        gStage = Stage::done;
        endCleanly();
    }
}

// The program quit its own way and wrote the interval as it did.
LostDesktopExit::~LostDesktopExit() {
    gStage = Stage::done;
}

}  // namespace tesuko
