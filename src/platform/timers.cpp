#include "platform/timers.h"

#include <QTimer>

#include <algorithm>
#include <climits>

namespace tardigo {

namespace {

class TimerCall : public PendingCall {
public:
    TimerCall(std::chrono::milliseconds interval, bool repeating, std::function<void()> call)
        : _timer(new QTimer) {
        // QTimer counts in int milliseconds: a longer interval waits as long as it can.
        _timer->setInterval(std::chrono::milliseconds(std::clamp<qint64>(interval.count(), 0, INT_MAX)));
        _timer->setSingleShot(!repeating);
        // A call once waits for a moment (a notice due, a save a second after a change): it comes
        // then, not within the 5% a coarse timer allows, minutes on a long wait.
        if (!repeating)
            _timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(_timer, &QTimer::timeout, _timer, std::move(call));
        _timer->start();
    }
    ~TimerCall() override {
        // The call may be what deletes this: the timer goes once its signal has returned.
        _timer->stop();
        _timer->deleteLater();
    }

private:
    QTimer* _timer;
};

class EventLoopTimers : public Timers {
public:
    std::unique_ptr<PendingCall> callOnce(std::chrono::milliseconds delay,
                                          std::function<void()> call) override {
        return std::make_unique<TimerCall>(delay, false, std::move(call));
    }
    std::unique_ptr<PendingCall> callRepeatedly(std::chrono::milliseconds interval,
                                                std::function<void()> call) override {
        return std::make_unique<TimerCall>(interval, true, std::move(call));
    }
};

} // namespace

Timers& Timers::eventLoop() {
    static EventLoopTimers timers;
    return timers;
}

} // namespace tardigo
