#include "model/stored_date.h"

#include "model/clock.h"

#include <QTimeZone>

#include <cmath>

namespace tardigo {

namespace {

int digits(const QChar* p, int count) {
    int v = 0;
    for (int i = 0; i < count; ++i) {
        if (!p[i].isDigit() || p[i].unicode() > '9')
            return -1;
        v = v * 10 + (p[i].unicode() - '0');
    }
    return v;
}
} // namespace

QString storedDateString(const QDateTime& time) {
    const int offset = time.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")) + (offset < 0 ? u'-' : u'+') +
           QString::asprintf("%02d%02d", minutes / 60, minutes % 60);
}

QString storedDateStringNow() {
    return storedDateString(Clock::now());
}

std::optional<QDateTime> parseStoredDate(const QString& text) {
    // "yyyy-MM-dd HH:mm:ss +hhmm": exactly 25 characters.
    if (text.size() != 25)
        return std::nullopt;
    const QChar* p = text.constData();
    if (p[4] != u'-' || p[7] != u'-' || p[10] != u' ' || p[13] != u':' || p[16] != u':' || p[19] != u' ' ||
        (p[20] != u'+' && p[20] != u'-'))
        return std::nullopt;
    const int year = digits(p, 4), month = digits(p + 5, 2), day = digits(p + 8, 2);
    const int hour = digits(p + 11, 2), minute = digits(p + 14, 2), second = digits(p + 17, 2);
    const int offH = digits(p + 21, 2), offM = digits(p + 23, 2);
    if (year < 0 || month < 0 || day < 0 || hour < 0 || minute < 0 || second < 0 || offH < 0 || offM < 0 ||
        offM > 59 || offH > 23)
        return std::nullopt;
    const QDate date(year, month, day);
    const QTime clock(hour, minute, second);
    if (!date.isValid() || !clock.isValid())
        return std::nullopt;
    const int offset = (p[20] == u'-' ? -1 : 1) * (offH * 3600 + offM * 60);
    return QDateTime(date, clock, Qt::OffsetFromUTC, offset);
}

std::optional<QDateTime> parseStoredDate(const Value& value) {
    const QString* s = value.asString();
    return s ? parseStoredDate(*s) : std::nullopt;
}

QDateTime dateTimeFromReferenceSeconds(double seconds) {
    if (!std::isfinite(seconds) || std::abs(seconds) > 1e14)
        seconds = 0;
    return QDateTime::fromMSecsSinceEpoch(Date::referenceUnixMSecs + qint64(std::llround(seconds * 1000.0)),
                                          Qt::UTC);
}

double referenceSecondsFromDateTime(const QDateTime& time) {
    return double(time.toMSecsSinceEpoch() - Date::referenceUnixMSecs) / 1000.0;
}

QDateTime dateTimeFromCalendarDate(const CalendarDate& date) {
    const QDateTime utc = dateTimeFromReferenceSeconds(date.seconds);
    if (date.timeZone) {
        const QTimeZone zone(date.timeZone->name.toUtf8());
        if (zone.isValid())
            return utc.toOffsetFromUtc(zone.offsetFromUtc(utc));
    }
    return utc.toOffsetFromUtc(utc.toLocalTime().offsetFromUtc());
}

} // namespace tardigo
