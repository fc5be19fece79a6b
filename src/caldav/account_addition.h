#pragma once

#include "caldav/account_store.h"
#include "caldav/dav_error.h"

#include <QObject>
#include <QSslCertificate>
#include <QStringList>

#include <functional>
#include <memory>

namespace tardigo {

class CalDavClient;

/// What adding an account came to.
struct AccountAdded {
    Account account;                    // as stored, with where discovery found its calendars
    DavError serverRefusal;             // why the server's answers did not do, when they did not
    QSslCertificate refusedCertificate; // with DavFailure::Certificate: the one the user may trust
    QStringList certificateProblems;    // and why it is not trusted
    QString refusal;                    // why nothing was asked of the server, or the account not stored
    QString passwordNotKept; // the account was added, but the keyring did not keep its password: why

    bool ok() const { return serverRefusal.ok() && refusal.isEmpty(); }
    /// Why the account was not added, as a sentence naming it; empty when it was.
    QString failure() const;
};

/// Adds an account as the user described it: asks its server for the user's principal and
/// calendar home with the password, keeps the password in the keyring (in place of any entry the
/// name left, AccountPasswords) and the account in the store, in that order, so that nothing the
/// server refused is stored and no password stays behind an account that could not be stored.
/// Nothing blocks; cancelling before the end, or destroying the addition, stores nothing and
/// answers nothing.
class AccountAddition : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void(const AccountAdded&)>;

    explicit AccountAddition(AccountStore store = AccountStore(), QObject* parent = nullptr);
    ~AccountAddition() override;

    /// Why an account so described may not be added, before its server is asked: its name, its
    /// address (plain http only to this computer unless allowed), its user, a name already taken.
    static QString refusedAccount(const Account& account, const QList<Account>& existing);

    /// Starts adding; `done` is called once, unless cancelled first. One addition at a time.
    void start(Account account, const QString& password, Done done);
    void cancel();

private:
    void discovered(const DavError& error, const QUrl& principal, const QUrl& home);
    void passwordWritten(bool kept, const QString& reason);
    void answer(AccountAdded added);

    AccountStore _store;
    std::unique_ptr<CalDavClient> _client;
    Account _account;
    QString _password;
    Done _done;
    int _attempt = 0; // answers of an earlier, cancelled attempt are passed over
};

} // namespace tardigo
