#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace tardigo {

/// One resource of a multi-status answer, with the properties the server found for it.
struct DavResource {
    QUrl url;
    int status = 0; // the response's own status (404: a member that is gone); 0 when it gave properties
    QByteArray etag;
    QString displayName;
    bool isCollection = false;
    bool isCalendar = false;
    std::optional<QStringList> components; // what the calendar holds; none given: every kind
    bool offersSyncCollection = false;
    std::optional<QUrl> principal;
    QList<QUrl> calendarHomes;
    QByteArray calendarData;
    QByteArray syncToken;
};

/// A WebDAV multi-status answer (207), as far as calendars need it.
struct Multistatus {
    QList<DavResource> resources;
    QByteArray syncToken; // what a sync-collection report ends with
};

/// Reads a multi-status answer; hrefs are resolved against `base`, and only properties the server
/// found (a propstat of status 200) are kept. Nothing, with why, unless it is DAV's multistatus XML.
std::optional<Multistatus> readMultistatus(const QByteArray& xml, const QUrl& base, QString* error);

} // namespace tardigo
