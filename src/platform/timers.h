#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace tardigo {

/// A call waiting on the event loop; destroying it cancels the call.
class PendingCall {
public:
    virtual ~PendingCall() = default;
};

/// Calls later on the event loop, once or at an interval. Whatever waits on time takes one, so
/// that tests can put a manual one in and move time on without sleeping.
class Timers {
public:
    virtual ~Timers() = default;

    virtual std::unique_ptr<PendingCall> callOnce(std::chrono::milliseconds delay,
                                                  std::function<void()> call) = 0;
    virtual std::unique_ptr<PendingCall> callRepeatedly(std::chrono::milliseconds interval,
                                                        std::function<void()> call) = 0;

    /// The event loop's own timers.
    static Timers& eventLoop();
};

} // namespace tardigo
