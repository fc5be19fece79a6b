#include "sync/sync_schedule.h"

#include "model/clock.h"

#include <algorithm>
#include <utility>

namespace tardigo {

SyncSchedule::SyncSchedule(Start start, Timers& timers) : _start(std::move(start)), _timers(timers) {}

void SyncSchedule::listChanged() {
    _changedSinceSync = true;
}

void SyncSchedule::listSaved() {
    if (_changedSinceSync)
        ask(Urgency::WithinTheMinute);
}

void SyncSchedule::minderRan() {
    ask(Urgency::WithinTheMinute);
}

void SyncSchedule::syncNow() {
    ask(Urgency::Now);
}

void SyncSchedule::ask(Urgency urgency) {
    if (_syncing) {
        _followUp = std::max(_followUp.value_or(urgency), urgency);
        return;
    }
    if (urgency == Urgency::Now) {
        _waiting.reset();
        start();
        return;
    }
    if (_waiting)
        return; // the sync already waiting takes this change too
    const qint64 wait =
        _lastStartMSecs ? *_lastStartMSecs + kMinimumInterval.count() - Clock::nowMSecsSinceEpoch() : 0;
    if (wait <= 0) {
        start();
        return;
    }
    _waiting = _timers.callOnce(std::chrono::milliseconds(wait), [this] {
        const std::unique_ptr<PendingCall> done = std::move(_waiting);
        start();
    });
}

void SyncSchedule::start() {
    if (!_start())
        return;
    _syncing = true;
    _lastStartMSecs = Clock::nowMSecsSinceEpoch();
    _changedSinceSync = false;
    arm();
}

void SyncSchedule::setInterval(std::optional<std::chrono::milliseconds> interval) {
    if (interval == _interval)
        return;
    _interval = interval;
    arm();
}

void SyncSchedule::arm() {
    _due.reset();
    if (_interval)
        _due = _timers.callOnce(*_interval, [this] { intervalPassed(); });
}

void SyncSchedule::intervalPassed() {
    const std::unique_ptr<PendingCall> done = std::move(_due);
    // A sync running or waiting for its minute is as fresh; its start sets the timer again.
    if (!_syncing && !_waiting)
        ask(Urgency::WithinTheMinute);
    if (!_due)
        arm();
}

void SyncSchedule::syncFinished(bool succeeded) {
    _syncing = false;
    if (!succeeded)
        _changedSinceSync = true;
    if (const std::optional<Urgency> next = std::exchange(_followUp, std::nullopt))
        ask(*next);
}

} // namespace tardigo
