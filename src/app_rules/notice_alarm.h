#pragma once

#include "model/value.h"
#include "platform/timers.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace tardigo {

class TardigoDocument;

/// The minder's one alarm for the earliest moment a notice falls due across the watched lists (a
/// reminder, a snooze, a due date): when it has come, the alarm asks for a pass. Each pass tells it
/// the earliest moment it found, and the open lists it follows tell it of every change the user makes
/// to their items. It keeps the moment as a point in time and looks at the clock at least once a
/// minute, so that a suspend or a clock set under its timer delays it by a minute at most, and not
/// at all once it is told (rearm).
class NoticeAlarm : public QObject {
    Q_OBJECT
public:
    /// The longest the timer waits before the alarm looks at the clock again.
    static constexpr std::chrono::milliseconds kLongestWait{std::chrono::minutes(1)};

    NoticeAlarm(Timers& timers, std::function<void()> pass);
    ~NoticeAlarm() override;

    /// Off, it neither rings nor learns; it is off until switched on, as the minder is.
    void setEnabled(bool enabled);
    /// Learns the moments of the list now, and of its items whenever a step changes them.
    void follow(TardigoDocument& document);

    /// A pass begins: the moments learnt from now on are added to what it finds.
    void passStarted();
    /// A pass ended, having found this earliest moment still to come (none: nothing).
    void passEnded(const std::optional<QDateTime>& found);
    /// A moment learnt since: the alarm rings then if that is earlier; a moment that has come
    /// already asks for a pass at once.
    void consider(const QDateTime& moment);
    /// Time moved under the timer (the computer woke, the clock or the time zone was set): the wait
    /// is measured again from now.
    void rearm();

    /// When the alarm rings; none when it does not.
    std::optional<QDateTime> moment() const { return _moment; }

private:
    /// Items of a followed list to read, on the next pass of the event loop: a step tells of them
    /// before it has changed them.
    struct Changed {
        QPointer<TardigoDocument> document;
        NodePtr item;
        bool withDescendants;
    };
    void changed(TardigoDocument* document, const NodePtr& item, bool withDescendants);
    void readChanged();
    void arm();
    void rang();

    Timers& _timers;
    std::function<void()> _pass;
    bool _enabled = false;
    std::optional<QDateTime> _moment;
    std::optional<QDateTime> _learntDuringPass;
    bool _passRunning = false;
    std::unique_ptr<PendingCall> _timer;
    std::vector<Changed> _changed;
    std::unique_ptr<PendingCall> _readChanged;
};

} // namespace tardigo
