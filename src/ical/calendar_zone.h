#pragma once

#include "ical/ical_handle.h"

#include <QDateTime>
#include <QTimeZone>

#include <optional>
#include <vector>

namespace tardigo {

/// The user's time zone as calendars name it: by its plain name ("Europe/Berlin"), which other
/// clients look up in their own zone data, with a VTIMEZONE of its present yearly rules for those
/// that do not.
class CalendarZone {
public:
    /// The zone of this computer; none where it has no such name (plain UTC, say) or its changes of
    /// offset follow no yearly rule of weekdays.
    static const std::optional<CalendarZone>& local();
    /// The zone of that name with the rules it follows in `year`; none as for local().
    static std::optional<CalendarZone> named(const QByteArray& id, int year);

    QByteArray id() const { return _zone.id(); }
    const QTimeZone& zone() const { return _zone; }
    /// The VTIMEZONE that names the zone, with its rules.
    IcalComponentPtr component() const;
    /// Whether the instant, written as a time of this zone, reads back as itself, by this zone's own
    /// data and by the VTIMEZONE's rules alike.
    bool holds(const QDateTime& instant) const;

private:
    /// One yearly change of offset: on the `week`th (-1: last) `weekday` of `month`, at `at` in the
    /// offset it changes from.
    struct Change {
        bool daylight = false;
        int from = 0, to = 0; // offsets from UTC, in seconds
        int month = 1, week = 1, weekday = 7;
        QTime at;
        QString name;
        QDate dateIn(int year) const;
        qint64 instantIn(int year) const;
    };

    explicit CalendarZone(QTimeZone zone) : _zone(std::move(zone)) {}
    int ruledOffsetAt(qint64 secondsSinceEpoch) const;
    /// The years in which libical, knowing the zone by its VTIMEZONE alone, reads its times as the
    /// zone's own data does: it expands a zone's rules over a limited span of years only.
    void findYearsRead(int year);

    QTimeZone _zone;
    int _firstYearRead = 0, _lastYearRead = 0;
    int _standardOffset = 0; // where the zone does not change
    QString _standardName;
    std::vector<Change> _changes; // none, or the two of each year in the order they come
};

/// Adds to the calendar a VTIMEZONE for each zone a TZID of its components names that it lacks,
/// where that zone is the user's.
void addZonesNamed(icalcomponent* calendar);

} // namespace tardigo
