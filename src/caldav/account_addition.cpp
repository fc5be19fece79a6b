#include "caldav/account_addition.h"

#include "caldav/account_passwords.h"
#include "caldav/caldav_client.h"

#include <QPointer>

#include <algorithm>

namespace tardigo {

namespace {

AccountAdded outcome(const Account& account, const QString& refusal, const QString& passwordNotKept = {}) {
    AccountAdded added;
    added.account = account;
    added.refusal = refusal;
    added.passwordNotKept = passwordNotKept;
    return added;
}

} // namespace

QString AccountAdded::failure() const {
    if (!refusal.isEmpty())
        return refusal;
    if (!serverRefusal.ok())
        return QStringLiteral("The account “%1” was not added. %2").arg(account.name, serverRefusal.message);
    return {};
}

AccountAddition::AccountAddition(AccountStore store, QObject* parent)
    : QObject(parent), _store(std::move(store)) {}

AccountAddition::~AccountAddition() = default;

QString AccountAddition::refusedAccount(const Account& account, const QList<Account>& existing) {
    if (QString refused = AccountStore::refusedName(account.name); !refused.isEmpty())
        return refused;
    if (QString refused = refusedServerUrl(account.url, account.allowHttp); !refused.isEmpty())
        return refused;
    if (account.user.isEmpty())
        return QStringLiteral("An account needs a user name.");
    if (std::any_of(existing.cbegin(), existing.cend(),
                    [&](const Account& a) { return a.name == account.name; }))
        return QStringLiteral("There is an account “%1” already; remove it first to add it anew.")
            .arg(account.name);
    return {};
}

void AccountAddition::start(Account account, const QString& password, Done done) {
    cancel();
    _account = std::move(account);
    _password = password;
    _done = std::move(done);
    const int attempt = ++_attempt;
    QString error;
    const std::optional<QList<Account>> accounts = _store.load(&error);
    if (const QString refused = accounts ? refusedAccount(_account, *accounts) : error; !refused.isEmpty()) {
        // Answered after start returns, as the server's answers are.
        QMetaObject::invokeMethod(
            this,
            [this, attempt, refused] {
                if (attempt == _attempt)
                    answer(outcome(_account, refused));
            },
            Qt::QueuedConnection);
        return;
    }
    _client = std::make_unique<CalDavClient>(_account.access(password));
    _client->discover([this, attempt](DavResult<AccountPlaces> places) {
        if (attempt == _attempt)
            discovered(places.error, places.value.principal, places.value.home);
    });
}

void AccountAddition::cancel() {
    ++_attempt;
    _done = nullptr;
    _password.clear();
    // Destroying the client ends its requests; none answers.
    _client.reset();
}

void AccountAddition::discovered(const DavError& error, const QUrl& principal, const QUrl& home) {
    if (!error.ok()) {
        AccountAdded refused = outcome(_account, {});
        refused.serverRefusal = error;
        if (error.failure == DavFailure::Certificate) {
            refused.refusedCertificate = _client->dav().refusedCertificate();
            refused.certificateProblems = _client->dav().refusedCertificateReasons();
        }
        answer(std::move(refused));
        return;
    }
    _account.principal = principal;
    _account.home = home;
    const int attempt = _attempt;
    QPointer<AccountAddition> self(this);
    AccountPasswords(_store).keep(_account, _password,
                                  [self, attempt, entry = _account.keyringEntry()](Keyring::Answer kept) {
                                      if (self && attempt == self->_attempt) {
                                          self->passwordWritten(kept.ok(), kept.reason);
                                          return;
                                      }
                                      // Cancelled while the keyring wrote: the password goes again, as
                                      // nothing else was stored.
                                      if (kept.ok())
                                          Keyring::removePassword(entry, [](const Keyring::Answer&) {});
                                  });
}

void AccountAddition::passwordWritten(bool kept, const QString& reason) {
    if (const QString error = _store.add(_account); !error.isEmpty()) {
        if (!kept) {
            answer(outcome(_account, error));
            return;
        }
        // The answer waits for the password to be gone: a command may end right after it.
        const int attempt = _attempt;
        QPointer<AccountAddition> self(this);
        Keyring::removePassword(_account.keyringEntry(), [self, attempt, error](const Keyring::Answer&) {
            if (self && attempt == self->_attempt)
                self->answer(outcome(self->_account, error));
        });
        return;
    }
    answer(outcome(_account, {}, kept ? QString() : reason));
}

void AccountAddition::answer(AccountAdded added) {
    Done done = std::exchange(_done, nullptr);
    _password.clear();
    // The client may be answering through this very call; it goes once the call has returned.
    if (_client)
        QMetaObject::invokeMethod(
            this, [client = std::shared_ptr<CalDavClient>(std::move(_client))] {}, Qt::QueuedConnection);
    if (done)
        done(added);
}

} // namespace tardigo
