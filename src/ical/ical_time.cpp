#include "ical/ical_time.h"

#include "ical/calendar_zone.h"
#include "ical/ical_properties.h"
#include "model/stored_date.h"

#include <QTimeZone>

namespace tardigo {

namespace {

constexpr const char* kOffsetParameter = "X-TARDIGO-OFFSET";

QString offsetText(int seconds) {
    const int minutes = std::abs(seconds) / 60;
    return (seconds < 0 ? QStringLiteral("-") : QStringLiteral("+")) +
           QString::asprintf("%02d%02d", minutes / 60, minutes % 60);
}

/// "+hhmm" or "-hhmm" in seconds; nothing for any other text.
std::optional<int> parseOffset(const QString& text) {
    if (text.size() != 5 || (text[0] != u'+' && text[0] != u'-'))
        return std::nullopt;
    bool ok = false;
    const int digits = QStringView(text).mid(1).toInt(&ok);
    if (!ok || digits % 100 > 59 || digits / 100 > 23)
        return std::nullopt;
    return (text[0] == u'-' ? -1 : 1) * ((digits / 100) * 3600 + (digits % 100) * 60);
}

int localOffsetAt(qint64 secondsSinceEpoch) {
    // The zone is looked up once: asking the C library for local time looks at the zone's file
    // again on every call, which a large export makes hundreds of thousands of times.
    static const QTimeZone local = QTimeZone::systemTimeZone();
    return local.offsetFromUtc(QDateTime::fromSecsSinceEpoch(secondsSinceEpoch, Qt::UTC));
}

/// Properties whose times iCalendar holds in UTC alone.
bool isUtcOnly(icalproperty* property) {
    switch (icalproperty_isa(property)) {
    case ICAL_CREATED_PROPERTY:
    case ICAL_LASTMODIFIED_PROPERTY:
    case ICAL_DTSTAMP_PROPERTY:
    case ICAL_COMPLETED_PROPERTY:
    case ICAL_ACKNOWLEDGED_PROPERTY:
        return true;
    default:
        return false;
    }
}

std::optional<QDateTime> zonedTime(const QDate& date, const QTime& time, icalproperty* property) {
    icalparameter* tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
    if (!tzid) // floating: the user's own time
        return QDateTime(date, time, isUtcOnly(property) ? Qt::UTC : Qt::LocalTime);
    const QTimeZone zone(QByteArray(icalparameter_get_tzid(tzid)));
    if (zone.isValid())
        return QDateTime(date, time, zone);
    const QByteArray iana = QTimeZone::windowsIdToDefaultIanaId(QByteArray(icalparameter_get_tzid(tzid)));
    return QDateTime(date, time, iana.isEmpty() ? QTimeZone::systemTimeZone() : QTimeZone(iana));
}

} // namespace

std::optional<icaltimetype> icalUtcTime(const QDateTime& time) {
    const icaltimetype utc =
        icaltime_from_timet_with_zone(time_t(time.toSecsSinceEpoch()), 0, icaltimezone_get_utc_timezone());
    if (icaltime_is_null_time(utc) || !icaltime_is_valid_time(utc))
        return std::nullopt;
    return utc;
}

icalproperty* storedDateProperty(icalproperty* (*make)(icaltimetype), const QString& storedDate) {
    const std::optional<QDateTime> time = parseStoredDate(storedDate);
    const std::optional<icaltimetype> utc = time ? icalUtcTime(*time) : std::nullopt;
    if (!utc)
        return nullptr;
    icalproperty* property = make(*utc);
    if (time->offsetFromUtc() != localOffsetAt(time->toSecsSinceEpoch())) {
        icalparameter* offset = icalparameter_new_x(offsetText(time->offsetFromUtc()).toLatin1().constData());
        icalparameter_set_xname(offset, kOffsetParameter);
        icalproperty_add_parameter(property, offset);
    }
    return property;
}

icalproperty* dueDateProperty(icalproperty* (*make)(icaltimetype), const QString& storedDate, bool asDay) {
    const std::optional<QDateTime> time = parseStoredDate(storedDate);
    if (!time || !icalUtcTime(*time))
        return nullptr;
    const bool ownOffset = time->offsetFromUtc() == localOffsetAt(time->toSecsSinceEpoch());
    if (asDay && ownOffset && time->time() == QTime(23, 59, 0)) {
        icaltimetype day = icaltime_null_date();
        day.year = time->date().year();
        day.month = time->date().month();
        day.day = time->date().day();
        return make(day);
    }
    const std::optional<CalendarZone>& zone = CalendarZone::local();
    if (!ownOffset || !zone || !zone->holds(*time))
        return storedDateProperty(make, storedDate);
    const QDateTime wall = time->toTimeZone(zone->zone());
    icaltimetype local = icaltime_null_time();
    local.year = wall.date().year();
    local.month = wall.date().month();
    local.day = wall.date().day();
    local.hour = wall.time().hour();
    local.minute = wall.time().minute();
    local.second = wall.time().second();
    icalproperty* property = make(local);
    icalproperty_add_parameter(property, icalparameter_new_tzid(zone->id().constData()));
    return property;
}

std::optional<QDateTime> propertyInstant(icalproperty* property, icalcomponent* component) {
    const icaltimetype tt = icalproperty_get_datetime_with_component(property, component);
    if (icaltime_is_null_time(tt) || !icaltime_is_valid_time(tt) || tt.year < 1 || tt.year > 9999)
        return std::nullopt;
    const QDate date(tt.year, tt.month, tt.day);
    if (!date.isValid())
        return std::nullopt;
    if (icaltime_is_date(tt))
        return QDateTime(date, QTime(0, 0), Qt::LocalTime);
    const QTime time(tt.hour, tt.minute, std::min(tt.second, 59)); // a leap second counts as :59
    if (!time.isValid())
        return std::nullopt;
    if (icaltime_is_utc(tt))
        return QDateTime(date, time, Qt::UTC);
    if (tt.zone) // a zone the calendar's own VTIMEZONE defines
        return QDateTime::fromSecsSinceEpoch(qint64(icaltime_as_timet_with_zone(tt, tt.zone)), Qt::UTC);
    return zonedTime(date, time, property);
}

std::optional<QDateTime> instantOf(icalcomponent* component, icalproperty_kind kind) {
    icalproperty* property = icalcomponent_get_first_property(component, kind);
    return property ? propertyInstant(property, component) : std::nullopt;
}

std::optional<QString> propertyStoredDate(icalproperty* property, icalcomponent* component) {
    const std::optional<QDateTime> instant = propertyInstant(property, component);
    if (!instant || !instant->isValid())
        return std::nullopt;
    const std::optional<QString> written = xParameterText(property, kOffsetParameter);
    const std::optional<int> offset = written ? parseOffset(*written) : std::nullopt;
    const QDateTime shown = offset ? instant->toOffsetFromUtc(*offset) : instant->toLocalTime();
    if (shown.date().year() < 1 || shown.date().year() > 9999)
        return std::nullopt;
    return storedDateString(shown);
}

} // namespace tardigo
