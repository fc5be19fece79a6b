#include "caldav/caldav_client.h"

#include "caldav/caldav_log.h"
#include "caldav/caldav_requests.h"

#include <QUuid>

namespace tardigo {

namespace {

// A server that keeps saying its listing is cut short is answered no further after this many rounds.
constexpr int kMaxSyncRounds = 1000;

const QByteArray kCalendarType = QByteArrayLiteral("text/calendar; charset=utf-8");

template <class T> DavResult<T> failedWith(DavFailure failure, const QString& message) {
    return DavResult<T>::failed({failure, message});
}

QString pathOf(const QUrl& url) {
    return url.path(QUrl::FullyDecoded);
}

/// The URL of a collection, which ends in a slash so that its members resolve under it.
QUrl asCollection(QUrl url) {
    if (!url.path().endsWith(u'/'))
        url.setPath(url.path() + u'/');
    return url;
}

bool sameHost(const QUrl& a, const QUrl& b) {
    return a.host().compare(b.host(), Qt::CaseInsensitive) == 0;
}

/// Where the resources a server names stand in a collection, each path decoded once: a listing of
/// a large calendar names every member, and every member is looked up by its path.
class Collection {
public:
    enum class Place { Itself, Member, Outside };

    explicit Collection(const QUrl& url) : _url(url), _path(keyOf(url)) {}

    /// Where the resource stands; a member's `key` is its decoded path, the same however the server
    /// encodes it and whether or not it ends in a slash. What lies outside is logged: it is passed
    /// over.
    Place placeOf(const QUrl& resource, QString* key = nullptr) const {
        QString path = keyOf(resource);
        Place place = Place::Outside;
        if (sameHost(resource, _url))
            place = path == _path ? Place::Itself : path.startsWith(_path) ? Place::Member : Place::Outside;
        if (place == Place::Outside)
            qCInfo(lcCalDav).noquote() << "passing over" << resource.toString(QUrl::RemoveUserInfo)
                                       << "outside" << _url.toString(QUrl::RemoveUserInfo);
        if (key)
            *key = std::move(path);
        return place;
    }

private:
    static QString keyOf(const QUrl& url) {
        QString path = pathOf(url);
        if (!path.endsWith(u'/'))
            path += u'/';
        return path;
    }

    QUrl _url;
    QString _path;
};

/// Whether trying the next place of discovery may still find the account: the place was not
/// there or is no DAV collection; a refused password or a broken connection ends the search.
bool triesNextPlace(DavFailure failure) {
    return failure == DavFailure::NotFound || failure == DavFailure::Forbidden ||
           failure == DavFailure::Server || failure == DavFailure::BadAnswer;
}

/// What the batches of a multiget found, in the order they were asked for.
FetchedObjects gathered(std::vector<FetchedObjects> batches) {
    FetchedObjects all;
    for (FetchedObjects& batch : batches) {
        all.objects += std::move(batch.objects);
        all.missing += std::move(batch.missing);
    }
    return all;
}

CalendarInfo calendarOf(const DavResource& resource) {
    QString name = resource.displayName;
    if (name.isEmpty())
        name = pathOf(resource.url).section(u'/', -2, -2);
    return {resource.url, name, !resource.components || resource.components->contains(QLatin1String("VTODO")),
            resource.offersSyncCollection};
}

} // namespace

/// Discovery's places still to try, and the first failure met, which tells the most.
struct CalDavClient::DiscoveryPlaces {
    QList<QUrl> urls;
    DavError firstFailure;
};

void CalDavClient::query(DavRequest request, Done<Multistatus> done) {
    _dav.send(std::move(request), [done](DavResult<DavReply> reply) {
        if (!reply.ok())
            return done(DavResult<Multistatus>::failed(reply.error));
        const QString asked = serverName(reply.value.url) + reply.value.url.path();
        if (reply.value.status != 207)
            return done(failedWith<Multistatus>(
                DavFailure::BadAnswer,
                QStringLiteral("%1 answered with status %2, not with the list of resources asked for.")
                    .arg(asked)
                    .arg(reply.value.status)));
        QString error;
        std::optional<Multistatus> answer = readMultistatus(reply.value.body, reply.value.url, &error);
        if (!answer)
            return done(failedWith<Multistatus>(
                DavFailure::BadAnswer,
                QStringLiteral("%1 answered with XML that does not read: %2.").arg(asked, error)));
        done({std::move(*answer), {}});
    });
}

void CalDavClient::discover(Done<AccountPlaces> done) {
    const QUrl url = _dav.access().url;
    auto places = std::make_shared<DiscoveryPlaces>();
    if (url.path() != QLatin1String("/") && !url.path().isEmpty())
        places->urls << url;
    places->urls << url.resolved(QUrl(QStringLiteral("/.well-known/caldav")))
                 << url.resolved(QUrl(QStringLiteral("/")));
    findPrincipal(places, std::move(done));
}

void CalDavClient::findPrincipal(std::shared_ptr<DiscoveryPlaces> places, Done<AccountPlaces> done) {
    if (places->urls.isEmpty()) {
        DavError error = places->firstFailure;
        error.message = QStringLiteral("The server at %1 shows no calendars of “%2”. %3")
                            .arg(serverName(_dav.access().url), _dav.access().user, error.message);
        return done(DavResult<AccountPlaces>::failed(error));
    }
    const QUrl url = places->urls.takeFirst();
    query(principalQuery(url), [this, places, done](DavResult<Multistatus> answer) {
        if (!answer.ok() && !triesNextPlace(answer.error.failure))
            return done(DavResult<AccountPlaces>::failed(answer.error));
        for (const DavResource& resource : answer.value.resources) {
            if (resource.principal && sameHost(*resource.principal, resource.url))
                return findHome(*resource.principal, done);
            if (!resource.calendarHomes.isEmpty() && sameHost(resource.calendarHomes.first(), resource.url))
                return done({{resource.url, asCollection(resource.calendarHomes.first())}, {}});
        }
        if (places->firstFailure.ok())
            places->firstFailure =
                answer.ok()
                    ? DavError{DavFailure::BadAnswer, QStringLiteral("It names no principal for the user.")}
                    : answer.error;
        findPrincipal(places, done);
    });
}

void CalDavClient::findHome(const QUrl& principal, Done<AccountPlaces> done) {
    query(principalQuery(principal), [this, principal, done](DavResult<Multistatus> answer) {
        if (!answer.ok())
            return done(DavResult<AccountPlaces>::failed(answer.error));
        for (const DavResource& resource : answer.value.resources)
            for (const QUrl& home : resource.calendarHomes)
                if (sameHost(home, principal))
                    return done({{principal, asCollection(home)}, {}});
        done(failedWith<AccountPlaces>(
            DavFailure::BadAnswer, QStringLiteral("The server at %1 names no calendar home for “%2” at %3.")
                                       .arg(serverName(principal), _dav.access().user, principal.path())));
    });
}

void CalDavClient::listCalendars(const QUrl& home, Done<QList<CalendarInfo>> done) {
    query(calendarQuery(asCollection(home), 1), [home, done](DavResult<Multistatus> answer) {
        if (!answer.ok())
            return done(DavResult<QList<CalendarInfo>>::failed(answer.error));
        const Collection collection(home);
        QList<CalendarInfo> calendars;
        for (const DavResource& resource : answer.value.resources)
            if (collection.placeOf(resource.url) == Collection::Place::Member && resource.isCalendar)
                calendars << calendarOf(resource);
        done({calendars, {}});
    });
}

void CalDavClient::makeCalendar(const QUrl& home, const QString& displayName, Done<CalendarInfo> done) {
    const QUrl url =
        asCollection(home).resolved(QUrl(QUuid::createUuid().toString(QUuid::WithoutBraces) + u'/'));
    _dav.send(makeCalendarRequest(url, displayName), [this, url, done](DavResult<DavReply> made) {
        if (!made.ok())
            return done(DavResult<CalendarInfo>::failed(made.error));
        query(calendarQuery(url, 0), [url, done](DavResult<Multistatus> answer) {
            if (!answer.ok())
                return done(DavResult<CalendarInfo>::failed(answer.error));
            const Collection calendar(url);
            for (const DavResource& resource : answer.value.resources)
                if (resource.isCalendar && calendar.placeOf(resource.url) == Collection::Place::Itself)
                    return done({calendarOf(resource), {}});
            done(failedWith<CalendarInfo>(
                DavFailure::BadAnswer,
                QStringLiteral("The server at %1 made no calendar at %2.").arg(serverName(url), url.path())));
        });
    });
}

void CalDavClient::listTodoTags(const QUrl& calendar, Done<QList<ObjectTag>> done) {
    query(todoTagQuery(asCollection(calendar)), [calendar, done](DavResult<Multistatus> answer) {
        if (!answer.ok())
            return done(DavResult<QList<ObjectTag>>::failed(answer.error));
        const Collection collection(calendar);
        QList<ObjectTag> tags;
        for (const DavResource& resource : answer.value.resources)
            if (collection.placeOf(resource.url) == Collection::Place::Member && resource.status != 404 &&
                !resource.etag.isEmpty())
                tags.push_back({resource.url, resource.etag});
        done({tags, {}});
    });
}

/// What the rounds of a listing the server cut short said so far: the latest word on each member.
struct CalDavClient::ChangeRounds {
    QByteArray token;
    bool complete = false;
    QList<ObjectTag> listed;          // changed, or with no ETag, removed
    QHash<QString, qsizetype> places; // a member's key to its place in `listed`

    void note(const QString& key, const QUrl& url, const QByteArray& etag) {
        const auto place = places.constFind(key);
        if (place == places.cend()) {
            places.insert(key, listed.size());
            listed.push_back({url, etag});
        } else {
            listed[*place] = {url, etag};
        }
    }
    void startOver() {
        *this = {};
        complete = true;
    }
    CalendarChanges changes() const {
        CalendarChanges changes{token, {}, {}, complete};
        for (const ObjectTag& tag : listed) {
            if (tag.etag.isEmpty())
                changes.removed << tag.url;
            else
                changes.changed << tag;
        }
        return changes;
    }
};

void CalDavClient::changesSince(const QUrl& calendar, const QByteArray& token, Done<CalendarChanges> done) {
    auto rounds = std::make_shared<ChangeRounds>();
    rounds->token = token;
    rounds->complete = token.isEmpty();
    syncRound(asCollection(calendar), rounds, 0, std::move(done));
}

void CalDavClient::syncRound(const QUrl& calendar, std::shared_ptr<ChangeRounds> rounds, int round,
                             Done<CalendarChanges> done) {
    query(syncCollectionQuery(calendar, rounds->token), [=, this](DavResult<Multistatus> answer) {
        if (!answer.ok()) {
            // A token the server no longer knows (RFC 6578 says 403, some say 409 or 400) means
            // listing every member once more.
            const DavFailure failure = answer.error.failure;
            if (!rounds->complete && round == 0 &&
                (failure == DavFailure::Forbidden || failure == DavFailure::Server ||
                 failure == DavFailure::PreconditionFailed)) {
                qCInfo(lcCalDav).noquote()
                    << "listing" << calendar.toString() << "anew:" << answer.error.message;
                rounds->startOver();
                return syncRound(calendar, rounds, round, done);
            }
            return done(DavResult<CalendarChanges>::failed(answer.error));
        }
        const Collection collection(calendar);
        bool truncated = false;
        QString key;
        for (const DavResource& resource : answer.value.resources) {
            switch (collection.placeOf(resource.url, &key)) {
            case Collection::Place::Itself:
                truncated |= resource.status == 507;
                break;
            case Collection::Place::Member:
                if (resource.status == 404)
                    rounds->note(key, resource.url, {});
                else if (!resource.etag.isEmpty())
                    rounds->note(key, resource.url, resource.etag);
                break;
            case Collection::Place::Outside:
                break;
            }
        }
        const QByteArray previous = std::exchange(rounds->token, answer.value.syncToken);
        if (rounds->token.isEmpty() ||
            (truncated && (rounds->token == previous || round + 1 >= kMaxSyncRounds)))
            return done(failedWith<CalendarChanges>(
                DavFailure::BadAnswer,
                QStringLiteral("The server at %1 lists the changes of %2 without a way to go "
                               "on from them (sync token).")
                    .arg(serverName(calendar), calendar.path())));
        if (truncated)
            return syncRound(calendar, rounds, round + 1, done);
        done({rounds->changes(), {}});
    });
}

void CalDavClient::fetch(const QUrl& object, Done<CalendarObject> done) {
    _dav.send({"GET", object, {}, {}, {}}, [object, done](DavResult<DavReply> reply) {
        if (!reply.ok())
            return done(DavResult<CalendarObject>::failed(reply.error));
        done({{object, reply.value.etag, reply.value.body}, {}});
    });
}

/// The objects a multiget is still to fetch, and what each batch found, in the order asked.
struct CalDavClient::Fetching {
    QList<QUrl> wanted;
    qsizetype next = 0;                // the first of `wanted` not yet asked for
    int underWay = 0;                  // batches sent and not yet answered
    bool failed = false;               // answered with the first failure: the rest is not asked for
    std::vector<FetchedObjects> found; // by batch
};

void CalDavClient::fetchMany(const QUrl& calendar, const QList<QUrl>& objects, Done<FetchedObjects> done) {
    auto fetching = std::make_shared<Fetching>();
    fetching->wanted = objects;
    fetching->found.resize((objects.size() + kMultigetBatch - 1) / kMultigetBatch);
    if (objects.isEmpty())
        return done({});
    for (int i = 0; i < DavClient::kMaxInFlight && fetching->next < objects.size(); ++i)
        fetchBatch(asCollection(calendar), fetching, done);
}

void CalDavClient::fetchBatch(const QUrl& calendar, std::shared_ptr<Fetching> fetching,
                              Done<FetchedObjects> done) {
    const qsizetype first = fetching->next;
    const QList<QUrl> batch =
        fetching->wanted.sliced(first, std::min(kMultigetBatch, fetching->wanted.size() - first));
    fetching->next += batch.size();
    ++fetching->underWay;
    query(multigetQuery(calendar, batch), [=, this](DavResult<Multistatus> answer) {
        --fetching->underWay;
        if (fetching->failed)
            return;
        if (!answer.ok()) {
            fetching->failed = true;
            return done(DavResult<FetchedObjects>::failed(answer.error));
        }
        const Collection collection(calendar);
        QHash<QString, const DavResource*> answered; // the first answer for each member
        QString key;
        for (const DavResource& resource : answer.value.resources)
            if (collection.placeOf(resource.url, &key) == Collection::Place::Member &&
                !answered.contains(key))
                answered.insert(key, &resource);
        FetchedObjects& found = fetching->found[first / kMultigetBatch];
        for (const QUrl& asked : batch) {
            collection.placeOf(asked, &key);
            const DavResource* resource = answered.value(key);
            if (!resource || resource->status == 404 || resource->calendarData.isEmpty())
                found.missing << asked;
            else
                found.objects.push_back({asked, resource->etag, resource->calendarData});
        }
        if (fetching->next < fetching->wanted.size())
            return fetchBatch(calendar, fetching, done);
        if (fetching->underWay == 0)
            done({gathered(std::move(fetching->found)), {}});
    });
}

void CalDavClient::create(const QUrl& object, const QByteArray& data, Done<QByteArray> done) {
    put(object, data, {"If-None-Match", "*"}, std::move(done));
}

void CalDavClient::replace(const QUrl& object, const QByteArray& data, const QByteArray& etag,
                           Done<QByteArray> done) {
    put(object, data, {"If-Match", etag}, std::move(done));
}

void CalDavClient::put(const QUrl& object, const QByteArray& data,
                       std::pair<QByteArray, QByteArray> condition, Done<QByteArray> done) {
    _dav.send({"PUT", object, data, kCalendarType, {std::move(condition)}},
              [done](DavResult<DavReply> reply) {
                  if (!reply.ok())
                      return done(DavResult<QByteArray>::failed(reply.error));
                  done({reply.value.etag, {}});
              });
}

void CalDavClient::remove(const QUrl& object, const QByteArray& etag, Done<Nothing> done) {
    _dav.send({"DELETE", object, {}, {}, {{"If-Match", etag}}}, [done](DavResult<DavReply> reply) {
        done({{}, reply.error});
    });
}

} // namespace tardigo
