#include "test_support.h"

#include "model/clock.h"

namespace tardigo::test {

FixedClock::FixedClock(const QDateTime& now) { Clock::setFixed(now); }
FixedClock::~FixedClock() { Clock::reset(); }

QDateTime localTime(const QString& text) {
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace tardigo::test
