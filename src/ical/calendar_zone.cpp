#include "ical/calendar_zone.h"

#include "ical/ical_properties.h"
#include "model/clock.h"

#include <QSet>

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace tardigo {

namespace {

constexpr const char* kWeekdays[] = {"", "MO", "TU", "WE", "TH", "FR", "SA", "SU"}; // by Qt's day number

QString offsetText(int seconds) {
    const int minutes = std::abs(seconds) / 60;
    return (seconds < 0 ? QStringLiteral("-") : QStringLiteral("+")) +
           QString::asprintf("%02d%02d", minutes / 60, minutes % 60);
}

/// The `week`th (-1: last) `weekday` of the month.
QDate nthWeekday(int year, int month, int week, int weekday) {
    if (week < 0) {
        QDate last(year, month, QDate(year, month, 1).daysInMonth());
        return last.addDays(-((last.dayOfWeek() - weekday + 7) % 7));
    }
    const QDate first(year, month, 1);
    return first.addDays((weekday - first.dayOfWeek() + 7) % 7 + 7 * (week - 1));
}

/// A name that calendars share: a region and a city, as the zone database names its zones.
bool isSharedName(const QByteArray& id) {
    return id.contains('/') && !id.startsWith("Etc/") && QTimeZone::isTimeZoneIdAvailable(id);
}

} // namespace

QDate CalendarZone::Change::dateIn(int year) const {
    return nthWeekday(year, month, week, weekday);
}

qint64 CalendarZone::Change::instantIn(int year) const {
    return QDateTime(dateIn(year), at, Qt::UTC).toSecsSinceEpoch() - from;
}

const std::optional<CalendarZone>& CalendarZone::local() {
    // Looked up once: a sync writes many due dates, and the zone of a run does not change.
    static const std::optional<CalendarZone> zone =
        named(QTimeZone::systemTimeZoneId(), Clock::now().date().year());
    return zone;
}

std::optional<CalendarZone> CalendarZone::named(const QByteArray& id, int year) {
    if (!isSharedName(id))
        return std::nullopt;
    CalendarZone zone{QTimeZone(id)};
    const auto changesIn = [&](int y) {
        return zone._zone.transitions(QDateTime(QDate(y, 1, 1), QTime(0, 0), Qt::UTC),
                                      QDateTime(QDate(y, 12, 31), QTime(23, 59, 59), Qt::UTC));
    };
    const QTimeZone::OffsetDataList changes = changesIn(year), next = changesIn(year + 1);
    if (changes.isEmpty() && next.isEmpty()) {
        const QDateTime midYear(QDate(year, 7, 1), QTime(0, 0), Qt::UTC);
        zone._standardOffset = zone._zone.offsetFromUtc(midYear);
        zone._standardName = zone._zone.abbreviation(midYear);
        zone.findYearsRead(year);
        return zone;
    }
    if (changes.size() != 2 || next.size() != 2)
        return std::nullopt;
    for (qsizetype i = 0; i < 2; ++i) {
        const QTimeZone::OffsetData& change = changes[i];
        Change rule;
        rule.from = zone._zone.offsetFromUtc(change.atUtc.addSecs(-1));
        rule.to = change.offsetFromUtc;
        rule.daylight = change.daylightTimeOffset != 0;
        rule.name = change.abbreviation;
        const QDateTime wall = change.atUtc.addSecs(rule.from);
        rule.month = wall.date().month();
        rule.weekday = wall.date().dayOfWeek();
        rule.at = wall.time();
        // The last such weekday of the month, or the nth: whichever the next year's change keeps.
        const bool last = wall.date().day() + 7 > wall.date().daysInMonth();
        bool fits = false;
        for (int week : {last ? -1 : 0, (wall.date().day() - 1) / 7 + 1}) {
            rule.week = week;
            if (week != 0 && rule.instantIn(year) == change.atUtc.toSecsSinceEpoch() &&
                rule.instantIn(year + 1) == next[i].atUtc.toSecsSinceEpoch()) {
                fits = true;
                break;
            }
        }
        if (!fits)
            return std::nullopt;
        zone._changes.push_back(rule);
    }
    zone.findYearsRead(year);
    return zone;
}

IcalComponentPtr CalendarZone::component() const {
    QByteArray text = "BEGIN:VCALENDAR\r\nBEGIN:VTIMEZONE\r\nTZID:" + id() + "\r\n";
    const auto observance = [&](bool daylight, int from, int to, const QString& name, const QDateTime& start,
                                const QByteArray& rule) {
        const QByteArray kind = daylight ? "DAYLIGHT" : "STANDARD";
        text += "BEGIN:" + kind + "\r\nTZOFFSETFROM:" + offsetText(from).toLatin1() +
                "\r\nTZOFFSETTO:" + offsetText(to).toLatin1() + "\r\n";
        if (!name.isEmpty() && !name.startsWith(u'+') && !name.startsWith(u'-'))
            text += "TZNAME:" + name.toUtf8() + "\r\n";
        text += "DTSTART:" + start.toString(QStringLiteral("yyyyMMddTHHmmss")).toLatin1() + "\r\n" + rule +
                "END:" + kind + "\r\n";
    };
    if (_changes.empty()) {
        observance(false, _standardOffset, _standardOffset, _standardName,
                   QDateTime(QDate(1970, 1, 1), QTime(0, 0), Qt::UTC), {});
    }
    for (const Change& change : _changes) {
        observance(change.daylight, change.from, change.to, change.name,
                   QDateTime(change.dateIn(1970), change.at, Qt::UTC),
                   "RRULE:FREQ=YEARLY;BYMONTH=" + QByteArray::number(change.month) +
                       ";BYDAY=" + QByteArray::number(change.week) + kWeekdays[change.weekday] + "\r\n");
    }
    text += "END:VTIMEZONE\r\nEND:VCALENDAR\r\n";
    IcalComponentPtr calendar(icalparser_parse_string(text.constData()));
    icalcomponent* zone = icalcomponent_get_first_component(calendar.get(), ICAL_VTIMEZONE_COMPONENT);
    icalcomponent_remove_component(calendar.get(), zone);
    return IcalComponentPtr(zone);
}

int CalendarZone::ruledOffsetAt(qint64 secondsSinceEpoch) const {
    if (_changes.empty())
        return _standardOffset;
    // The last change before the instant, looking back over this year's and the last year's.
    const int year = QDateTime::fromSecsSinceEpoch(secondsSinceEpoch, Qt::UTC).date().year();
    qint64 latest = std::numeric_limits<qint64>::min();
    int offset = _changes.back().to;
    for (int y : {year - 1, year}) {
        for (const Change& change : _changes) {
            const qint64 at = change.instantIn(y);
            if (at <= secondsSinceEpoch && at > latest) {
                latest = at;
                offset = change.to;
            }
        }
    }
    return offset;
}

void CalendarZone::findYearsRead(int year) {
    icaltimezone* rules = icaltimezone_new();
    icaltimezone_set_component(rules, component().release());
    const auto readsYear = [&](int y) {
        for (int month : {1, 7}) { // standard time and summer time
            const QDateTime wall(QDate(y, month, 15), QTime(12, 0), _zone);
            icaltimetype time = icaltime_null_time();
            time.year = y;
            time.month = month;
            time.day = 15;
            time.hour = 12;
            if (qint64(icaltime_as_timet_with_zone(time, rules)) != wall.toSecsSinceEpoch())
                return false;
        }
        return true;
    };
    // The span around this year, sought by halves: libical reads up to a year it stops expanding
    // rules at, and the zone's history differs from its present rules before some year.
    constexpr int kFarthest = 200; // years from this one
    const auto edge = [&](int inside, int outside) {
        if (readsYear(outside))
            return outside;
        while (std::abs(outside - inside) > 1) {
            const int middle = (inside + outside) / 2;
            (readsYear(middle) ? inside : outside) = middle;
        }
        return inside;
    };
    _lastYearRead = readsYear(year) ? edge(year, year + kFarthest) : year - 1;
    _firstYearRead = readsYear(year) ? edge(year, 1970) : year;
    icaltimezone_free(rules, 1);
}

bool CalendarZone::holds(const QDateTime& instant) const {
    const qint64 seconds = instant.toSecsSinceEpoch();
    const QDateTime wall = instant.toTimeZone(_zone);
    if (wall.date().year() < _firstYearRead || wall.date().year() > _lastYearRead ||
        QDateTime(wall.date(), wall.time(), _zone).toSecsSinceEpoch() != seconds ||
        ruledOffsetAt(seconds) != _zone.offsetFromUtc(instant))
        return false;
    // A time of the hour that comes twice when the clocks go back names two instants.
    constexpr qint64 kDay = 86400;
    const qint64 shift =
        _zone.offsetFromUtc(instant.addSecs(-kDay)) - _zone.offsetFromUtc(instant.addSecs(kDay));
    for (const qint64 other : {seconds - shift, seconds + shift}) {
        const QDateTime then = QDateTime::fromSecsSinceEpoch(other, Qt::UTC).toTimeZone(_zone);
        if (shift != 0 && then.date() == wall.date() && then.time() == wall.time())
            return false;
    }
    return true;
}

void addZonesNamed(icalcomponent* calendar) {
    const std::optional<CalendarZone>& local = CalendarZone::local();
    if (!local)
        return;
    QSet<QByteArray> defined;
    for (icalcomponent* zone = icalcomponent_get_first_component(calendar, ICAL_VTIMEZONE_COMPONENT); zone;
         zone = icalcomponent_get_next_component(calendar, ICAL_VTIMEZONE_COMPONENT)) {
        if (icalproperty* tzid = firstProperty(zone, ICAL_TZID_PROPERTY))
            defined.insert(icalproperty_get_tzid(tzid));
    }
    if (defined.contains(local->id()))
        return;
    for (icalcomponent* c = icalcomponent_get_first_component(calendar, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(calendar, ICAL_ANY_COMPONENT)) {
        for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_ANY_PROPERTY); p;
             p = icalcomponent_get_next_property(c, ICAL_ANY_PROPERTY)) {
            icalparameter* tzid = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER);
            if (tzid && local->id() == icalparameter_get_tzid(tzid)) {
                icalcomponent_add_component(calendar, local->component().release());
                return;
            }
        }
    }
}

} // namespace tardigo
