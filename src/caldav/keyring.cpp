#include "caldav/keyring.h"

#include "caldav/caldav_log.h"

#include <qt6keychain/keychain.h>

namespace tardigo {

namespace {

// Each form of entry has a service of its own, so that no key of one form can name an entry of the
// other.
const QString kService = QStringLiteral("Tardigo CalDAV account");
const QString kServiceByNameAlone = QStringLiteral("Tardigo CalDAV");

/// The text with spaces, percent signs and control characters percent-encoded: it then holds no
/// space, and the key's parts stay apart.
QString withoutSpaces(const QString& text) {
    QString encoded;
    encoded.reserve(text.size());
    for (const QChar c : text) {
        if (c == u' ' || c == u'%' || c.unicode() < 0x20 || c.unicode() == 0x7f)
            encoded += QStringLiteral("%%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        else
            encoded += c;
    }
    return encoded;
}

QString serviceOf(const KeyringEntry& entry) {
    return entry.isByNameAlone() ? kServiceByNameAlone : kService;
}

/// "home alice https://dav.example.com/": readable where the desktop lists its keyring's entries,
/// and one key for each account, server and user.
QString keyOf(const KeyringEntry& entry) {
    if (entry.isByNameAlone())
        return entry.account;
    return withoutSpaces(entry.account) + u' ' + withoutSpaces(entry.user) + u' ' +
           QString::fromLatin1(entry.server.toEncoded());
}

Keyring::Answer answerOf(const QKeychain::Job& job) {
    switch (job.error()) {
    case QKeychain::NoError:
        return {Keyring::Outcome::Done, {}, {}};
    case QKeychain::EntryNotFound:
        return {Keyring::Outcome::NotFound,
                {},
                QStringLiteral("The keyring holds no password for this account.")};
    case QKeychain::AccessDenied:
    case QKeychain::AccessDeniedByUser:
    case QKeychain::CouldNotDeleteEntry:
        return {
            Keyring::Outcome::Failed, {}, QStringLiteral("The keyring refused (%1).").arg(job.errorString())};
    default: // no Secret Service on the session's bus, or no bus at all
        return {Keyring::Outcome::Unavailable,
                {},
                QStringLiteral("No keyring answers on this desktop (%1).").arg(job.errorString())};
    }
}

/// Starts the job for the entry; `done` gets its answer, with `withAnswer` adding what the job
/// found.
template <class Job>
void run(Job* job, const KeyringEntry& entry, Keyring::Done done,
         const std::function<void(const Job&, Keyring::Answer&)>& withAnswer = {}) {
    job->setAutoDelete(true);
    job->setInsecureFallback(false);
    job->setKey(keyOf(entry));
    QObject::connect(job, &QKeychain::Job::finished, job, [job, done = std::move(done), withAnswer] {
        Keyring::Answer answer = answerOf(*job);
        if (answer.ok() && withAnswer)
            withAnswer(*job, answer);
        if (!answer.removed())
            qCInfo(lcCalDav).noquote() << "keyring:" << answer.reason;
        done(std::move(answer));
    });
    job->start();
}

} // namespace

void Keyring::readPassword(const KeyringEntry& entry, Done done) {
    run<QKeychain::ReadPasswordJob>(
        new QKeychain::ReadPasswordJob(serviceOf(entry)), entry, std::move(done),
        [](const QKeychain::ReadPasswordJob& job, Answer& answer) { answer.password = job.textData(); });
}

void Keyring::writePassword(const KeyringEntry& entry, const QString& password, Done done) {
    auto* job = new QKeychain::WritePasswordJob(serviceOf(entry));
    job->setTextData(password);
    run(job, entry, std::move(done));
}

void Keyring::removePassword(const KeyringEntry& entry, Done done) {
    run(new QKeychain::DeletePasswordJob(serviceOf(entry)), entry, std::move(done));
}

} // namespace tardigo
