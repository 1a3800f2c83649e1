// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <chrono>
#include <functional>
#include <optional>
#include <vector>

#include "platform/idle_watch.h"

namespace tesuko {

// Idle time from Mutter's idle monitor on the session bus: an idle watch that
// fires once the user has given no input for the threshold, and while idle a
// one-shot user-active watch that fires at the next input. The monitor counts
// from the last input, so a watch set after a long while without any fires
// at once. All calls are asynchronous; the watches go with this object.
class MutterIdleWatch : public QObject, public IdleWatch {
    Q_OBJECT

  public:
    explicit MutterIdleWatch(QDBusConnection bus);
    ~MutterIdleWatch() override;
    MutterIdleWatch(const MutterIdleWatch&) = delete;
    MutterIdleWatch& operator=(const MutterIdleWatch&) = delete;

    bool available() const override { return available_; }
    void watch(std::chrono::milliseconds threshold, Handlers handlers) override;
    void stop() override;

  private Q_SLOTS:
    void onWatchFired(uint id);

  private:
    enum class Kind { idle, active };

    void add(Kind kind);
    void becameIdle();
    void remove(std::optional<uint>& watch);
    void call(const QString& method, const QVariantList& arguments,
              std::function<void(const QVariant&)> replied = nullptr);

    QDBusConnection bus_;
    bool available_;
    std::chrono::milliseconds threshold_{};
    Handlers handlers_;
    std::optional<uint> idleWatch_;
    std::optional<uint> activeWatch_;
    // A watch set past its moment fires at once, and its signal may come in
    // before the reply that names it: such firings wait here for their watch.
    std::vector<uint> unclaimedFirings_;
    bool idle_ = false;
    bool idleTold_ = false;    // idle() ran: active() is owed at the next input
    unsigned generation_ = 0;  // replies to the calls of an earlier watch() are late
};

}  // namespace tesuko
