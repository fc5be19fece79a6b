#include "model/clock.h"

namespace tardigo {

namespace {
std::function<QDateTime()>& source() {
    static std::function<QDateTime()> s;
    return s;
}
} // namespace

QDateTime Clock::now() {
    if (source())
        return source()().toLocalTime();
    return QDateTime::currentDateTime();
}

qint64 Clock::nowMSecsSinceEpoch() {
    if (source())
        return source()().toMSecsSinceEpoch();
    return QDateTime::currentMSecsSinceEpoch();
}

void Clock::setSource(std::function<QDateTime()> s) {
    source() = std::move(s);
}

void Clock::setFixed(const QDateTime& instant) {
    source() = [instant] { return instant; };
}

void Clock::reset() {
    source() = nullptr;
}

} // namespace tardigo
