#pragma once

#include <QDateTime>

#include <functional>

namespace tardigo {

/// The one source of "now" for the whole program, so that tests can fix the time.
class Clock {
public:
    /// The current time in the local time zone.
    static QDateTime now();
    /// The same instant as milliseconds since 1970 UTC: comparing these spares a time-zone lookup
    /// for every date compared.
    static qint64 nowMSecsSinceEpoch();
    /// Makes now() answer what the source answers, until reset().
    static void setSource(std::function<QDateTime()> source);
    /// Fixes now() at one instant, until reset().
    static void setFixed(const QDateTime& instant);
    static void reset();
};

} // namespace tardigo
