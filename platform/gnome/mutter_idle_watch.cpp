// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gnome/mutter_idle_watch.h"

#include <QDBusConnectionInterface>
#include <utility>

#include "platform/dbus/dbus_call.h"

namespace tesuko {

namespace {

const QString kService = QStringLiteral("org.gnome.Mutter.IdleMonitor");
const QString kPath = QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core");
const QString kInterface = QStringLiteral("org.gnome.Mutter.IdleMonitor");

bool owned(const QDBusConnection& bus, const QString& name) {
    const QDBusConnectionInterface* daemon = bus.interface();
    return daemon != nullptr && daemon->isServiceRegistered(name).value();
}

}  // namespace

MutterIdleWatch::MutterIdleWatch(QDBusConnection bus)
    : bus_(std::move(bus)), available_(owned(bus_, kService)) {
    // Only the monitor's owner gets through: QtDBus matches its unique name.
    if (available_) {
        bus_.connect(kService, kPath, kInterface, QStringLiteral("WatchFired"), this,
                     SLOT(onWatchFired(uint)));
    }
}

MutterIdleWatch::~MutterIdleWatch() {
    stop();
}

void MutterIdleWatch::watch(std::chrono::milliseconds threshold, Handlers handlers) {
    stop();
    threshold_ = threshold;
    handlers_ = std::move(handlers);
    if (available_) {
        add(Kind::idle);
    }
}

void MutterIdleWatch::stop() {
    ++generation_;
    remove(idleWatch_);
    remove(activeWatch_);
    handlers_ = {};
    idle_ = false;
    idleTold_ = false;
    unclaimedFirings_.clear();
}

void MutterIdleWatch::add(Kind kind) {
    std::optional<uint>& slot = kind == Kind::idle ? idleWatch_ : activeWatch_;
    const QString method =
        kind == Kind::idle ? QStringLiteral("AddIdleWatch") : QStringLiteral("AddUserActiveWatch");
    const QVariantList arguments =
        kind == Kind::idle ? QVariantList{qulonglong(threshold_.count())} : QVariantList{};
    call(method, arguments, [this, &slot, generation = generation_](const QVariant& id) {
        if (!id.isValid()) {
            return;
        }
        slot = id.toUInt();
        if (generation != generation_) {
            remove(slot);  // stopped while it was being added
            return;
        }
        if (std::erase(unclaimedFirings_, *slot) > 0) {
            onWatchFired(*slot);
        }
    });
}

void MutterIdleWatch::remove(std::optional<uint>& watch) {
    if (watch) {
        call(QStringLiteral("RemoveWatch"), {*std::exchange(watch, std::nullopt)});
    }
}

void MutterIdleWatch::onWatchFired(uint id) {
    if (id != idleWatch_ && id != activeWatch_) {
        constexpr std::size_t kMostUnclaimed = 8;
        if (unclaimedFirings_.size() == kMostUnclaimed) {
            unclaimedFirings_.erase(unclaimedFirings_.begin());
        }
        unclaimedFirings_.push_back(id);
        return;
    }
    if (!idle_ && id == idleWatch_) {
        idle_ = true;
        add(Kind::active);
        becameIdle();
    } else if (idle_ && id == activeWatch_) {
        idle_ = false;
        activeWatch_.reset();  // the monitor drops a user-active watch once it fired
        if (std::exchange(idleTold_, false) && handlers_.active) {
            handlers_.active(std::chrono::steady_clock::now());
        }
    }
}

// The watch may have been set long after the last input: the monitor's count
// tells when that was.
void MutterIdleWatch::becameIdle() {
    call(QStringLiteral("GetIdletime"), {},
         [this, generation = generation_](const QVariant& idleMs) {
             if (generation != generation_ || !idle_ || !handlers_.idle) {
                 return;
             }
             const auto since =
                 idleMs.isValid() ? std::chrono::milliseconds(idleMs.toULongLong()) : threshold_;
             idleTold_ = true;
             handlers_.idle(std::chrono::steady_clock::now() - since);
         });
}

void MutterIdleWatch::call(const QString& method, const QVariantList& arguments,
                           std::function<void(const QVariant&)> replied) {
    callAsync(bus_, {kService, kPath, kInterface, method, arguments}, *this,
              [replied = std::move(replied)](const QDBusMessage& reply) {
                  if (replied) {
                      replied(firstArgument(reply));
                  }
              });
}

}  // namespace tesuko
