#pragma once

// Timers that fire only when the test moves time on, with the clock moving along.

#include "model/clock.h"
#include "platform/timers.h"

#include <QDateTime>

#include <algorithm>
#include <map>
#include <memory>

namespace tardigo::test {

class ManualTimers : public Timers {
public:
    explicit ManualTimers(const QDateTime& start) : _now(start) { Clock::setFixed(_now); }
    ~ManualTimers() override { Clock::reset(); }

    std::unique_ptr<PendingCall> callOnce(std::chrono::milliseconds delay,
                                          std::function<void()> call) override {
        return add(delay, std::chrono::milliseconds(0), std::move(call));
    }
    std::unique_ptr<PendingCall> callRepeatedly(std::chrono::milliseconds interval,
                                                std::function<void()> call) override {
        return add(interval, interval, std::move(call));
    }

    /// Moves time on by `by`, firing every call that falls due, in time order, the clock at its time.
    void advance(std::chrono::milliseconds by) {
        const QDateTime end = _now.addMSecs(by.count());
        while (true) {
            const auto next =
                std::min_element(_calls.begin(), _calls.end(), [](const auto& a, const auto& b) {
                    return std::pair(a.second.due, a.first) < std::pair(b.second.due, b.first);
                });
            if (next == _calls.end() || next->second.due > end)
                break;
            _now = next->second.due;
            Clock::setFixed(_now);
            const std::function<void()> call = next->second.call;
            if (next->second.interval.count() > 0)
                next->second.due = _now.addMSecs(next->second.interval.count());
            else
                _calls.erase(next);
            call();
        }
        _now = end;
        Clock::setFixed(_now);
    }
    /// The clock jumps on while the waiting calls wait on as if no time had passed, as the event
    /// loop's timers do across a suspend or a clock set.
    void jumpClock(std::chrono::milliseconds by) {
        _now = _now.addMSecs(by.count());
        Clock::setFixed(_now);
        for (auto& [id, call] : _calls)
            call.due = call.due.addMSecs(by.count());
    }
    /// Runs what is due now: the next passes of the event loop.
    void runPending() { advance(std::chrono::milliseconds(0)); }
    qsizetype pendingCount() const { return qsizetype(_calls.size()); }

private:
    struct Call {
        QDateTime due;
        std::chrono::milliseconds interval;
        std::function<void()> call;
    };
    class Handle : public PendingCall {
    public:
        Handle(ManualTimers& timers, int id) : _timers(timers), _id(id) {}
        ~Handle() override { _timers._calls.erase(_id); }

    private:
        ManualTimers& _timers;
        int _id;
    };

    std::unique_ptr<PendingCall> add(std::chrono::milliseconds delay, std::chrono::milliseconds interval,
                                     std::function<void()> call) {
        const int id = ++_lastId;
        _calls[id] = Call{_now.addMSecs(delay.count()), interval, std::move(call)};
        return std::make_unique<Handle>(*this, id);
    }

    QDateTime _now;
    std::map<int, Call> _calls;
    int _lastId = 0;
};

} // namespace tardigo::test
