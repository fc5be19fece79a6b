#include "caldav/keyring.h"

#include "caldav/caldav_log.h"

#include <qt6keychain/keychain.h>

namespace tardigo {

namespace {

const QString kService = QStringLiteral("Tardigo CalDAV");

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

/// Starts the job with the account as its key; `done` gets its answer, with `withAnswer` adding
/// what the job found.
template <class Job>
void run(Job* job, const QString& account, Keyring::Done done,
         const std::function<void(const Job&, Keyring::Answer&)>& withAnswer = {}) {
    job->setAutoDelete(true);
    job->setInsecureFallback(false);
    job->setKey(account);
    QObject::connect(job, &QKeychain::Job::finished, job, [job, done = std::move(done), withAnswer] {
        Keyring::Answer answer = answerOf(*job);
        if (answer.ok() && withAnswer)
            withAnswer(*job, answer);
        if (!answer.ok() && answer.outcome != Keyring::Outcome::NotFound)
            qCInfo(lcCalDav).noquote() << "keyring:" << answer.reason;
        done(std::move(answer));
    });
    job->start();
}

} // namespace

void Keyring::readPassword(const QString& account, Done done) {
    run<QKeychain::ReadPasswordJob>(
        new QKeychain::ReadPasswordJob(kService), account, std::move(done),
        [](const QKeychain::ReadPasswordJob& job, Answer& answer) { answer.password = job.textData(); });
}

void Keyring::writePassword(const QString& account, const QString& password, Done done) {
    auto* job = new QKeychain::WritePasswordJob(kService);
    job->setTextData(password);
    run(job, account, std::move(done));
}

void Keyring::removePassword(const QString& account, Done done) {
    run(new QKeychain::DeletePasswordJob(kService), account, std::move(done));
}

} // namespace tardigo
