#pragma once

#include "platform/timers.h"

#include <QtGlobal>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace tardigo {

/// When a list open in a window syncs with its folder by itself: after each minder pass, and after
/// a save when the list changed since its last sync; never more than once a minute, and never two
/// syncs at once. A sync asked for within the minute waits for the minute's end; one asked for
/// while a sync runs follows it. Sync Now is the user's own and waits for no minute. A list on a
/// server, which other clients change, also has a timer of its own: a sync is due once an interval
/// has passed since the last one started.
class SyncSchedule {
public:
    static constexpr std::chrono::milliseconds kMinimumInterval{60000};

    /// Starts a sync that ends with syncFinished(); false when the list cannot sync now (it has no
    /// folder, or unsaved changes, whose save asks again).
    using Start = std::function<bool()>;

    explicit SyncSchedule(Start start, Timers& timers = Timers::eventLoop());

    /// A change was made in the window.
    void listChanged();
    /// The list was saved: a sync follows when it changed since the last one started.
    void listSaved();
    void minderRan();
    /// The user asked: a sync starts at once, or as soon as the one running ends.
    void syncNow();
    /// The sync started has ended. The changes of a failed one are still to sync.
    void syncFinished(bool succeeded);
    /// Starts the timer: a sync is due `interval` after the last one started, whatever started it;
    /// one that cannot start then (unsaved changes, a question on the window) is due an interval
    /// later. None stops the timer.
    void setInterval(std::optional<std::chrono::milliseconds> interval);
    std::optional<std::chrono::milliseconds> interval() const { return _interval; }

    bool isSyncing() const { return _syncing; }
    /// A sync is due later: at the end of the minute, or after the one running.
    bool isWaiting() const { return _waiting != nullptr || _followUp.has_value(); }

private:
    enum class Urgency { WithinTheMinute, Now };
    void ask(Urgency urgency);
    void start();
    void arm();
    void intervalPassed();

    Start _start;
    Timers& _timers;
    std::unique_ptr<PendingCall> _waiting;
    std::optional<std::chrono::milliseconds> _interval;
    std::unique_ptr<PendingCall> _due; // the timer's next sync
    std::optional<Urgency> _followUp;  // asked for while a sync ran
    std::optional<qint64> _lastStartMSecs;
    bool _syncing = false;
    bool _changedSinceSync = false;
};

} // namespace tardigo
