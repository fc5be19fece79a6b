#pragma once

#include <QDateTime>
#include <QString>

namespace tardigo::test {

/// Fixes the clock for the lifetime of the guard.
class FixedClock {
public:
    explicit FixedClock(const QDateTime& now);
    ~FixedClock();
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;
};

/// A local time "yyyy-MM-dd HH:mm:ss" in the test's TZ.
QDateTime localTime(const QString& text);

} // namespace tardigo::test
