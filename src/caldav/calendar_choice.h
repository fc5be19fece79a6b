#pragma once

#include "caldav/caldav_client.h"

namespace tardigo {

/// Which of an account's calendars the user means by a name.
struct CalendarChoice {
    std::optional<CalendarInfo> calendar; // the one meant; none and no refusal: a new one of that name
    QString refusal;                      // why none may be used or made
};

/// The calendar named `wanted`: by its path (absolute, or inside the home) or else by its display
/// name. A calendar that holds no to-dos, or a name that several calendars bear, is refused; a
/// name no calendar bears asks for a new calendar, unless it is a path.
CalendarChoice chooseCalendar(const QList<CalendarInfo>& calendars, const QUrl& home, const QString& wanted);

/// What a list may be bound to among an account's calendars: those that hold to-dos, by name, and
/// whether a new calendar named after the list may be made (no calendar bears its name yet).
struct CalendarOffers {
    QList<CalendarInfo> calendars;
    std::optional<CalendarInfo> named; // the to-do calendar that bears the list's name
    bool offerNew = false;
};

CalendarOffers calendarOffers(const QList<CalendarInfo>& calendars, const QUrl& home,
                              const QString& listName);

} // namespace tardigo
