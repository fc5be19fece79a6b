#pragma once

#include "caldav/keyring.h"
#include "caldav/server_access.h"

#include <QList>

#include <optional>

namespace tardigo {

/// A CalDAV account as the user added it, and where discovery found its calendars. Its password
/// is kept in the desktop's keyring (Keyring), never here.
struct Account {
    QString name;
    QUrl url;
    QString user;
    QByteArray acceptedCertificate; // SHA-256 digest of the one certificate accepted despite errors
    bool allowHttp = false;
    QUrl principal;
    QUrl home;

    /// How a client reaches the account's server with the password.
    ServerAccess access(const QString& password) const {
        return {url, user, password, acceptedCertificate, allowHttp};
    }
    /// Where the keyring keeps its password.
    KeyringEntry keyringEntry() const { return {name, url, user}; }
};

/// The user's accounts, in a file of their own in the user's config folder
/// ($XDG_CONFIG_HOME/tardigo/accounts.json), readable by the user only, with the keyring's entries
/// of removed accounts that are still to be removed (AccountPasswords). Changes hold a lock on the
/// file from reading it to replacing it, so two programs adding accounts lose neither, and a file
/// that does not read is reported and never overwritten.
class AccountStore {
public:
    /// The most the file may hold; a user's accounts take a few hundred bytes each.
    static constexpr qint64 kMaxFileBytes = 1024 * 1024;

    static QString defaultPath();
    explicit AccountStore(QString path = defaultPath()) : _path(std::move(path)) {}

    const QString& path() const { return _path; }
    /// The accounts, in the order added; nothing, with why, when the file does not read.
    std::optional<QList<Account>> load(QString* error) const;
    /// The account of that name; nothing, with why, when there is none.
    std::optional<Account> find(const QString& name, QString* error) const;
    /// Adds an account under a name not yet taken; answers an empty string or why not.
    QString add(const Account& account);
    /// Trusts no certificate beyond the system's for the named account any more; answers an empty
    /// string or why not.
    QString forgetCertificate(const QString& name);
    /// Removes the named account, and notes its keyring entries (by name, server and user, and by
    /// its name alone) as forgotten; answers an empty string or why not.
    QString remove(const QString& name);
    /// The keyring entries of removed accounts that the keyring may still hold; nothing, with why,
    /// when the file does not read.
    std::optional<QList<KeyringEntry>> forgottenPasswords(QString* error) const;
    /// Notes that the keyring holds none of those entries any more; answers an empty string or why
    /// not.
    QString dropForgotten(const QList<KeyringEntry>& gone);
    /// Why the name cannot name an account, or an empty string.
    static QString refusedName(const QString& name);

private:
    struct Contents {
        QList<Account> accounts;
        QList<KeyringEntry> forgotten;
    };
    std::optional<Contents> read(QString* error) const;
    QString change(const std::function<QString(Contents&)>& edit);

    QString _path;
};

} // namespace tardigo
