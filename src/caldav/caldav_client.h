#pragma once

#include "caldav/dav_client.h"
#include "caldav/multistatus.h"

#include <variant>

namespace tardigo {

/// Where an account's calendars are, as discovery finds them.
struct AccountPlaces {
    QUrl principal;
    QUrl home; // the calendar home: the collection that holds the user's calendars
};

/// A calendar collection of the account.
struct CalendarInfo {
    QUrl url;
    QString displayName;
    bool holdsTodos = false;
    bool offersSyncCollection = false;
};

/// A resource of a calendar: one iCalendar object, and the ETag of the version read.
struct CalendarObject {
    QUrl url;
    QByteArray etag;
    QByteArray data;
};

/// A resource of a calendar as listed: where it is and which version is there.
struct ObjectTag {
    QUrl url;
    QByteArray etag;
};

/// What changed in a calendar since a sync token (sync-collection).
struct CalendarChanges {
    QByteArray token; // to give next time
    QList<ObjectTag> changed;
    QList<QUrl> removed;
    bool complete = false; // the token was empty or had expired: `changed` lists every member
};

/// What a multiget found: the objects, and the resources that are gone.
struct FetchedObjects {
    QList<CalendarObject> objects;
    QList<QUrl> missing;
};

/// A CalDAV account's server: finds the account's calendars, makes one, and reads, writes and
/// removes its objects under their ETags, so that a change made meanwhile by another client fails
/// with DavFailure::PreconditionFailed instead of being overwritten. Nothing blocks; each call
/// answers once through its callback (see DavClient). Resources a server names on another host or
/// outside the calendar asked about are passed over.
class CalDavClient {
public:
    template <class T> using Done = std::function<void(DavResult<T>)>;
    using Nothing = std::monostate;

    /// How many resources one multiget asks for, which bounds its answer.
    static constexpr qsizetype kMultigetBatch = 100;

    explicit CalDavClient(ServerAccess access) : _dav(std::move(access)) {}

    DavClient& dav() { return _dav; }

    /// Finds the user's principal and calendar home from the account's URL: the URL itself when it
    /// names a path, the server's /.well-known/caldav (RFC 6764), then the server's root.
    void discover(Done<AccountPlaces> done);
    /// The calendars in the home.
    void listCalendars(const QUrl& home, Done<QList<CalendarInfo>> done);
    /// Makes a calendar for to-dos in the home, under the display name.
    void makeCalendar(const QUrl& home, const QString& displayName, Done<CalendarInfo> done);

    /// The ETags of the calendar's to-dos.
    void listTodoTags(const QUrl& calendar, Done<QList<ObjectTag>> done);
    /// What changed since the token (empty: every member).
    void changesSince(const QUrl& calendar, const QByteArray& token, Done<CalendarChanges> done);
    void fetch(const QUrl& object, Done<CalendarObject> done);
    /// The objects of the calendar at the URLs, kMultigetBatch a request, up to
    /// DavClient::kMaxInFlight requests at once; the first failure answers, and nothing more is asked.
    void fetchMany(const QUrl& calendar, const QList<QUrl>& objects, Done<FetchedObjects> done);
    /// Puts a new object where none is (If-None-Match: *); answers its ETag, empty when the server
    /// gives none.
    void create(const QUrl& object, const QByteArray& data, Done<QByteArray> done);
    /// Replaces the version of the object with that ETag (If-Match); answers the new ETag.
    void replace(const QUrl& object, const QByteArray& data, const QByteArray& etag, Done<QByteArray> done);
    /// Removes the version of the object with that ETag (If-Match).
    void remove(const QUrl& object, const QByteArray& etag, Done<Nothing> done);

private:
    /// Sends a request whose answer is a multi-status, and reads it.
    void query(DavRequest request, Done<Multistatus> done);
    struct DiscoveryPlaces;
    void findPrincipal(std::shared_ptr<DiscoveryPlaces> places, Done<AccountPlaces> done);
    void findHome(const QUrl& principal, Done<AccountPlaces> done);
    void put(const QUrl& object, const QByteArray& data, std::pair<QByteArray, QByteArray> condition,
             Done<QByteArray> done);
    struct Fetching;
    void fetchBatch(const QUrl& calendar, std::shared_ptr<Fetching> fetching, Done<FetchedObjects> done);
    struct ChangeRounds;
    void syncRound(const QUrl& calendar, std::shared_ptr<ChangeRounds> rounds, int round,
                   Done<CalendarChanges> done);

    DavClient _dav;
};

} // namespace tardigo
