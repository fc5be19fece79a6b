#pragma once

#include "caldav/caldav_client.h"
#include "caldav/calendar_mirror.h"
#include "caldav/wait_for.h"
#include "sync/sync_store.h"

namespace tardigo {

/// A CalDAV calendar as a sync store: its objects are the entries, named by their place in the
/// calendar. Listing asks the server what changed since the mirror's token (sync-collection) where
/// it offers that, else for the to-dos' ETags, and fetches the objects whose ETag the mirror does
/// not hold, and every object a report of changes names unless this computer's own write gave it
/// that ETag: some servers count an object's versions from 1 again when it is removed and made
/// anew, so an ETag seen before may stand for new content. Every write names the version it
/// replaces (If-Match, or If-None-Match for a new object), so another client's change made
/// meanwhile is never overwritten: the write fails, is counted in changedMeanwhile(), and a sync
/// again fetches and merges it. Up to DavClient::kMaxInFlight writes and removals are under way at
/// once, each answered on its own. Once the server could not be reached, or did not answer in time,
/// the store sends nothing more: each later write fails at once with that reason, and the next
/// sync does it.
class CalDavStore : public SyncStore {
public:
    CalDavStore(CalDavClient& client, const QUrl& calendar, CalendarMirror& mirror);

    QString location() const override { return _calendar.toString(); }
    std::optional<StoreListing> list(QString* error) const override;
    std::optional<QByteArray> read(const QString& name, QString* error) const override;
    void beginWrite(const QString& name, const QByteArray& bytes, Answer answer) override;
    void beginRemoval(const QString& name, Answer answer) override;
    void finishWrites() override;
    QString nameForUid(const QString& uid) const override { return entryNameForUid(uid); }
    QString unreachable() const override { return _unreached.ok() ? QString() : _unreached.message; }

    /// The writes and removals refused because the object changed on the server meanwhile.
    int changedMeanwhile() const { return _changedMeanwhile; }
    /// Once a sync's writes are answered: asks what changed since the token they were written
    /// under, fetches what other clients changed meanwhile, and takes the new token, so that the
    /// next sync asks only for what changes after it. Where that fails (logged), the next sync asks
    /// from the old token, as it would have.
    void catchUp();

private:
    /// The calendar's objects as a listing names them.
    struct Listing {
        QHash<QString, QByteArray> etags; // by name
        QSet<QString> changed;            // the names a report of changes since a token named
        QByteArray token;                 // to ask from next time; empty without sync-collection
    };

    /// The objects' names and ETags as the server lists them now; nothing, with why, on failure.
    std::optional<Listing> listed(QString* error) const;
    std::optional<Listing> listedByChanges(DavError* error) const;
    std::optional<Listing> listedByTags(DavError* error) const;
    DavResult<CalendarChanges> changesSince(const QByteArray& token) const;
    /// Whether the changes name every object written since the token, as they must while the
    /// calendar keeps its history.
    bool accountsForWrites(const CalendarChanges& changes) const;
    /// Brings the mirror to the listing: fetches what changed, drops what is gone, takes its token.
    bool takeListing(Listing& listing, QString* error) const;
    /// Fetches the objects the listing names in another version than the mirror holds; objects
    /// gone meanwhile leave the listing.
    bool fetchChanged(Listing& listing, QString* error) const;
    QString tookWrite(const QString& name, const QByteArray& bytes, const DavResult<QByteArray>& written);
    QString tookRemoval(const QString& name, const DavResult<CalDavClient::Nothing>& removed);
    QUrl urlOf(const QString& name) const;
    /// The object's name: its path inside the calendar; empty for what is not one of its objects.
    QString nameOf(const QUrl& url) const;
    /// How messages name the to-do an object holds.
    QString describe(const QString& name, const QByteArray& data) const;
    /// Sends one request and waits for it, unless the server was out of reach earlier.
    template <class T, class Call> DavResult<T> send(Call&& call) const {
        if (!_unreached.ok())
            return DavResult<T>::failed(_unreached);
        DavResult<T> result = waitForDav<T>(std::forward<Call>(call));
        noteReach(result.error);
        return result;
    }
    /// Sends one request of a write or removal, waiting first while kMaxInFlight are under way;
    /// `answered` takes the result.
    template <class T, class Call> void begin(Call&& call, std::function<void(DavResult<T>)> answered) {
        waitWhile([this] { return _underWay >= DavClient::kMaxInFlight; });
        if (!_unreached.ok())
            return answered(DavResult<T>::failed(_unreached));
        ++_underWay;
        call([this, answered = std::move(answered)](DavResult<T> result) {
            --_underWay;
            noteReach(result.error);
            answered(std::move(result));
            for (QEventLoop* waiting : std::as_const(_waiting))
                waiting->quit();
        });
    }
    void noteReach(const DavError& error) const;
    /// Runs the thread's events while `busy` holds.
    void waitWhile(const std::function<bool()>& busy);

    CalDavClient& _client;
    QUrl _calendar;
    CalendarMirror& _mirror;
    mutable QHash<QString, QString> _unreadable; // names whose object could not be fetched, and why
    mutable DavError _unreached;                 // why the server was out of reach in this sync
    int _changedMeanwhile = 0;
    int _underWay = 0;             // writes and removals sent and not yet answered
    QList<QEventLoop*> _waiting;   // the loops waiting for one to be answered, innermost last
    bool _changedCalendar = false; // a write or removal of this sync was taken
};

} // namespace tardigo
