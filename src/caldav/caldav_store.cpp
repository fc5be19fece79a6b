#include "caldav/caldav_store.h"

#include "caldav/caldav_log.h"
#include "caldav/dav_status.h"

#include <algorithm>

namespace tardigo {

namespace {

/// What stands after "SUMMARY…:" on the object's first summary line; empty when there is none.
QByteArray summaryOf(const QByteArray& data) {
    for (const QByteArray& line : data.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (line.startsWith("SUMMARY") && colon > 0)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

/// Failures that say the server knows no sync-collection report, rather than that it failed.
bool meansNoSyncCollection(DavFailure failure) {
    return failure == DavFailure::Forbidden || failure == DavFailure::Server ||
           failure == DavFailure::BadAnswer;
}

QUrl asCollection(QUrl url) {
    if (!url.path().endsWith(u'/'))
        url.setPath(url.path() + u'/');
    return url;
}

} // namespace

CalDavStore::CalDavStore(CalDavClient& client, const QUrl& calendar, CalendarMirror& mirror)
    : _client(client), _calendar(asCollection(calendar)), _mirror(mirror) {}

std::optional<StoreListing> CalDavStore::list(QString* error) const {
    std::optional<Listing> now = listed(error);
    if (!now || !takeListing(*now, error))
        return std::nullopt;
    StoreListing listing;
    listing.names = now->etags.keys();
    listing.names.sort();
    listing.takenNames = listing.names;
    return listing;
}

void CalDavStore::catchUp() {
    if (!_changedCalendar || _mirror.syncCollection != CalendarMirror::SyncCollection::Offered)
        return;
    DavError failure;
    QString error;
    std::optional<Listing> now = listedByChanges(&failure);
    if (!now)
        error = failure.message;
    else if (takeListing(*now, &error))
        return;
    qCInfo(lcCalDav).noquote() << "the next sync of" << location()
                               << "asks for the changes since before its writes:" << error;
}

bool CalDavStore::takeListing(Listing& listing, QString* error) const {
    if (!fetchChanged(listing, error))
        return false;
    _mirror.objects.removeIf([&](const auto& object) { return !listing.etags.contains(object.key()); });
    // Only now does the mirror hold what the token stands for: a sync cut short before keeps the
    // old token, and the next one asks again for everything since.
    _mirror.token = listing.token;
    _mirror.writtenSinceToken.clear();
    return true;
}

std::optional<CalDavStore::Listing> CalDavStore::listed(QString* error) const {
    DavError failure;
    if (_mirror.syncCollection != CalendarMirror::SyncCollection::Absent) {
        std::optional<Listing> now = listedByChanges(&failure);
        if (now)
            return now;
        if (_mirror.syncCollection == CalendarMirror::SyncCollection::Offered ||
            !meansNoSyncCollection(failure.failure)) {
            *error = failure.message;
            return std::nullopt;
        }
        qCInfo(lcCalDav).noquote() << "listing" << location() << "by its to-dos' ETags:" << failure.message;
        _mirror.syncCollection = CalendarMirror::SyncCollection::Absent;
    }
    std::optional<Listing> now = listedByTags(&failure);
    if (!now) {
        *error = failure.message;
    }
    return now;
}

std::optional<CalDavStore::Listing> CalDavStore::listedByChanges(DavError* error) const {
    DavResult<CalendarChanges> changes = changesSince(_mirror.token);
    if (changes.ok() && !accountsForWrites(changes.value)) {
        // The calendar went back to an earlier state (restored, or removed and made again): the
        // objects written since the token are gone without a trace, and only a full listing tells.
        qCInfo(lcCalDav).noquote() << "listing" << location()
                                   << "anew: it does not show what was written to it since the last sync";
        changes = changesSince({});
    }
    if (!changes.ok()) {
        *error = changes.error;
        return std::nullopt;
    }
    _mirror.syncCollection = CalendarMirror::SyncCollection::Offered;
    Listing now;
    now.token = changes.value.token;
    if (!changes.value.complete) {
        for (auto it = _mirror.objects.cbegin(); it != _mirror.objects.cend(); ++it)
            now.etags.insert(it.key(), it->etag);
    }
    for (const ObjectTag& tag : changes.value.changed) {
        if (const QString name = nameOf(tag.url); !name.isEmpty()) {
            now.etags.insert(name, tag.etag);
            // A full listing says what is there, not what changed: its ETags are compared.
            if (!changes.value.complete)
                now.changed.insert(name);
        }
    }
    for (const QUrl& url : changes.value.removed)
        now.etags.remove(nameOf(url));
    return now;
}

DavResult<CalendarChanges> CalDavStore::changesSince(const QByteArray& token) const {
    return send<CalendarChanges>([&](auto done) { _client.changesSince(_calendar, token, std::move(done)); });
}

bool CalDavStore::accountsForWrites(const CalendarChanges& changes) const {
    if (changes.complete)
        return true;
    QSet<QString> named;
    for (const ObjectTag& tag : changes.changed)
        named.insert(nameOf(tag.url));
    for (const QUrl& url : changes.removed)
        named.insert(nameOf(url));
    return std::all_of(_mirror.writtenSinceToken.cbegin(), _mirror.writtenSinceToken.cend(),
                       [&](const QString& name) { return named.contains(name); });
}

std::optional<CalDavStore::Listing> CalDavStore::listedByTags(DavError* error) const {
    const auto tags =
        send<QList<ObjectTag>>([&](auto done) { _client.listTodoTags(_calendar, std::move(done)); });
    if (!tags.ok()) {
        *error = tags.error;
        return std::nullopt;
    }
    Listing now;
    for (const ObjectTag& tag : tags.value)
        if (const QString name = nameOf(tag.url); !name.isEmpty())
            now.etags.insert(name, tag.etag);
    return now;
}

bool CalDavStore::fetchChanged(Listing& listing, QString* error) const {
    QList<QUrl> wanted;
    for (auto it = listing.etags.cbegin(); it != listing.etags.cend(); ++it) {
        const auto known = _mirror.objects.constFind(it.key());
        if (known == _mirror.objects.cend() || known->etag != it.value() ||
            (listing.changed.contains(it.key()) && !_mirror.writtenSinceToken.contains(it.key())))
            wanted << urlOf(it.key());
    }
    if (wanted.isEmpty())
        return true;
    const auto fetched =
        send<FetchedObjects>([&](auto done) { _client.fetchMany(_calendar, wanted, std::move(done)); });
    FetchedObjects objects = fetched.value;
    if (fetched.error.failure == DavFailure::TooLarge) {
        // Too much at once: each object alone, so that only one too large for any answer is left out.
        for (const QUrl& url : wanted) {
            const auto one = send<CalendarObject>([&](auto done) { _client.fetch(url, std::move(done)); });
            if (one.ok())
                objects.objects.push_back(one.value);
            else if (one.error.failure == DavFailure::NotFound)
                objects.missing << url;
            else
                _unreadable.insert(nameOf(url), one.error.message + QStringLiteral(" It was left alone."));
        }
    } else if (!fetched.ok()) {
        *error = fetched.error.message;
        return false;
    }
    for (const CalendarObject& object : objects.objects) {
        const QString name = nameOf(object.url);
        _mirror.objects.insert(
            name, {object.etag.isEmpty() ? listing.etags.value(name) : object.etag, object.data});
    }
    for (const QUrl& url : objects.missing) // gone since it was listed
        listing.etags.remove(nameOf(url));
    return true;
}

std::optional<QByteArray> CalDavStore::read(const QString& name, QString* error) const {
    if (const auto unreadable = _unreadable.constFind(name); unreadable != _unreadable.cend()) {
        *error = *unreadable;
        return std::nullopt;
    }
    const auto object = _mirror.objects.constFind(name);
    if (object == _mirror.objects.cend()) {
        *error = QStringLiteral("%1 is not on the calendar %2.").arg(name, location());
        return std::nullopt;
    }
    return object->data;
}

void CalDavStore::beginWrite(const QString& name, const QByteArray& bytes, Answer answer) {
    const QUrl url = urlOf(name);
    const QByteArray etag = _mirror.objects.value(name).etag;
    begin<QByteArray>(
        [&](auto done) {
            if (etag.isEmpty())
                _client.create(url, bytes, std::move(done));
            else
                _client.replace(url, bytes, etag, std::move(done));
        },
        [this, name, bytes, answer](const DavResult<QByteArray>& written) {
            answer(tookWrite(name, bytes, written));
        });
}

QString CalDavStore::tookWrite(const QString& name, const QByteArray& bytes,
                               const DavResult<QByteArray>& written) {
    if (written.ok()) {
        _mirror.objects.insert(name, {written.value, bytes});
        _mirror.writtenSinceToken.insert(name);
        _changedCalendar = true;
        return {};
    }
    if (written.error.failure == DavFailure::PreconditionFailed) {
        ++_changedMeanwhile;
        return QStringLiteral("%1 changed on the calendar meanwhile, so it was not written; the next sync "
                              "merges it.")
            .arg(describe(name, bytes));
    }
    return QStringLiteral("%1 was not written to the calendar: %2")
        .arg(describe(name, bytes), written.error.message);
}

void CalDavStore::beginRemoval(const QString& name, Answer answer) {
    const QByteArray etag = _mirror.objects.value(name).etag;
    if (etag.isEmpty())
        return answer(tookRemoval(
            name, DavResult<CalDavClient::Nothing>::failed({DavFailure::PreconditionFailed, {}})));
    begin<CalDavClient::Nothing>([&](auto done) { _client.remove(urlOf(name), etag, std::move(done)); },
                                 [this, name, answer](const DavResult<CalDavClient::Nothing>& removed) {
                                     answer(tookRemoval(name, removed));
                                 });
}

QString CalDavStore::tookRemoval(const QString& name, const DavResult<CalDavClient::Nothing>& removed) {
    const MirroredObject known = _mirror.objects.value(name);
    if (removed.ok() || removed.error.failure == DavFailure::NotFound) {
        _mirror.objects.remove(name);
        _changedCalendar = _changedCalendar || removed.ok();
        return {};
    }
    if (removed.error.failure == DavFailure::PreconditionFailed) {
        ++_changedMeanwhile;
        return QStringLiteral("%1 changed on the calendar meanwhile, so it was not removed; the next sync "
                              "merges it.")
            .arg(describe(name, known.data));
    }
    return QStringLiteral("%1 was not removed from the calendar: %2")
        .arg(describe(name, known.data), removed.error.message);
}

void CalDavStore::finishWrites() {
    waitWhile([this] { return _underWay > 0; });
}

void CalDavStore::noteReach(const DavError& error) const {
    if (error.failure == DavFailure::Network)
        _unreached = error;
}

void CalDavStore::waitWhile(const std::function<bool()>& busy) {
    while (busy()) {
        QEventLoop loop;
        _waiting << &loop;
        loop.exec();
        _waiting.removeOne(&loop);
    }
}

QUrl CalDavStore::urlOf(const QString& name) const {
    QUrl url = _calendar;
    url.setPath(_calendar.path(QUrl::FullyDecoded) + name, QUrl::DecodedMode);
    return url;
}

QString CalDavStore::nameOf(const QUrl& url) const {
    const QString base = _calendar.path(QUrl::FullyDecoded), path = url.path(QUrl::FullyDecoded);
    const QString name = path.mid(base.size());
    if (url.host().compare(_calendar.host(), Qt::CaseInsensitive) != 0 || !path.startsWith(base) ||
        name.isEmpty() || name.contains(u'/'))
        return {};
    return name;
}

QString CalDavStore::describe(const QString& name, const QByteArray& data) const {
    const QByteArray summary = summaryOf(data);
    const QString where = location() + name;
    return summary.isEmpty() ? where
                             : QStringLiteral("The to-do “%1” (%2)").arg(serverExcerpt(summary), where);
}

} // namespace tardigo
