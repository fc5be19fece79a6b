#include "caldav/calendar_choice.h"

#include <algorithm>

namespace tardigo {

namespace {

QString withoutEndSlash(QString path) {
    while (path.endsWith(u'/'))
        path.chop(1);
    return path;
}

bool hasControl(const QString& text) {
    return std::any_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.category() == QChar::Other_Control; });
}

} // namespace

CalendarChoice chooseCalendar(const QList<CalendarInfo>& calendars, const QUrl& home, const QString& wanted) {
    if (wanted.trimmed().isEmpty() || hasControl(wanted))
        return {std::nullopt,
                QStringLiteral("A calendar's name needs a character other than spaces and control "
                               "characters.")};
    const bool isPath = wanted.startsWith(u'/');
    const QString path = withoutEndSlash(isPath ? wanted : home.path(QUrl::FullyDecoded) + wanted);
    QList<CalendarInfo> meant;
    for (const CalendarInfo& calendar : calendars)
        if (withoutEndSlash(calendar.url.path(QUrl::FullyDecoded)) == path)
            meant << calendar;
    if (meant.isEmpty() && !isPath)
        std::copy_if(calendars.cbegin(), calendars.cend(), std::back_inserter(meant),
                     [&](const CalendarInfo& calendar) { return calendar.displayName == wanted; });
    if (meant.size() > 1) {
        QStringList paths;
        for (const CalendarInfo& calendar : meant)
            paths << calendar.url.path();
        return {std::nullopt, QStringLiteral("Several calendars are named “%1” (%2); name one by its path.")
                                  .arg(wanted, paths.join(QStringLiteral(", ")))};
    }
    if (meant.isEmpty())
        return {std::nullopt, isPath ? QStringLiteral("There is no calendar at %1.").arg(wanted) : QString()};
    if (!meant.first().holdsTodos)
        return {std::nullopt, QStringLiteral("The calendar “%1” (%2) holds no to-dos; name another, or a new "
                                             "name for a calendar to be made.")
                                  .arg(meant.first().displayName, meant.first().url.path())};
    return {meant.first(), {}};
}

CalendarOffers calendarOffers(const QList<CalendarInfo>& calendars, const QUrl& home,
                              const QString& listName) {
    CalendarOffers offers;
    std::copy_if(calendars.cbegin(), calendars.cend(), std::back_inserter(offers.calendars),
                 [](const CalendarInfo& calendar) { return calendar.holdsTodos; });
    std::stable_sort(offers.calendars.begin(), offers.calendars.end(),
                     [](const CalendarInfo& a, const CalendarInfo& b) {
                         return a.displayName.localeAwareCompare(b.displayName) < 0;
                     });
    const CalendarChoice choice = chooseCalendar(calendars, home, listName);
    offers.named = choice.calendar;
    offers.offerNew = !choice.calendar && choice.refusal.isEmpty();
    return offers;
}

} // namespace tardigo
