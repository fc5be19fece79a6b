#pragma once

#include "caldav/dav_client.h"

namespace tardigo {

// The requests a CalDAV client sends, each asking only for what it reads of the answer.

/// Who the user is and where their calendars live (PROPFIND, depth 0).
DavRequest principalQuery(const QUrl& url);
/// The collection at the URL (depth 0) or the collections in it (depth 1), with what a calendar
/// holds and whether it offers sync-collection.
DavRequest calendarQuery(const QUrl& url, int depth);
/// The ETags of the calendar's to-dos (calendar-query).
DavRequest todoTagQuery(const QUrl& calendar);
/// The data and ETags of the named resources of the calendar (calendar-multiget).
DavRequest multigetQuery(const QUrl& calendar, const QList<QUrl>& resources);
/// What changed in the collection since the token; an empty token asks for every member.
DavRequest syncCollectionQuery(const QUrl& collection, const QByteArray& token);
/// A new calendar for to-dos at the URL, under the display name.
DavRequest makeCalendarRequest(const QUrl& url, const QString& displayName);

} // namespace tardigo
