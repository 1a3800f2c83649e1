// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>

#include "platform/posix/unique_fd.h"
#include "platform/system_log.h"

namespace tesuko {

// logind's delay lock on sleep: while this program holds its file
// descriptor, logind waits (InhibitDelayMaxSec at most) before the machine
// sleeps, and closing it lets the sleep go on.
class SleepInhibitor {
  public:
    SleepInhibitor(QDBusConnection bus, SystemLog& log);
    SleepInhibitor(const SleepInhibitor&) = delete;
    SleepInhibitor& operator=(const SleepInhibitor&) = delete;

    // Asks logind for one, unless one is held or asked for already.
    void take();
    // Closes the one held; one still asked for is closed when it comes.
    void release();

  private:
    void arrived(const QDBusMessage& reply);

    QDBusConnection bus_;
    SystemLog& log_;
    QObject replies_;  // drops a reply that comes after this is gone
    UniqueFd fd_;
    bool wanted_ = false;
    bool asked_ = false;
    bool warned_ = false;
};

}  // namespace tesuko
