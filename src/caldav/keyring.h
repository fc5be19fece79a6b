#pragma once

#include <QString>
#include <QUrl>

#include <functional>

namespace tardigo {

/// Where the keyring keeps a password: under the account's name, its server's address and its
/// user's name, so that a password is only ever read for the server and user it was given for.
/// An entry without a server is one as earlier versions kept it, under the account's name alone,
/// for no server in particular: it is never read, only removed.
struct KeyringEntry {
    QString account;
    QUrl server;
    QString user;

    /// The entry earlier versions kept for an account of that name.
    static KeyringEntry byNameAlone(const QString& account) { return {account, {}, {}}; }
    bool isByNameAlone() const { return server.isEmpty(); }
    friend bool operator==(const KeyringEntry&, const KeyringEntry&) = default;
};

/// The passwords of accounts, kept in the desktop's keyring (the Secret Service, reached through
/// QtKeychain) and nowhere else: there is no fallback to a file. Each call answers once, through
/// its callback, on the calling thread's event loop.
class Keyring {
public:
    enum class Outcome { Done, NotFound, Unavailable, Failed };
    struct Answer {
        Outcome outcome = Outcome::Failed;
        QString password; // what a read found
        QString reason;   // why not, unless Done

        bool ok() const { return outcome == Outcome::Done; }
        /// The keyring answered: the entry is gone, or was never there.
        bool removed() const { return outcome == Outcome::Done || outcome == Outcome::NotFound; }
    };
    using Done = std::function<void(Answer)>;

    static void readPassword(const KeyringEntry& entry, Done done);
    static void writePassword(const KeyringEntry& entry, const QString& password, Done done);
    static void removePassword(const KeyringEntry& entry, Done done);
};

} // namespace tardigo
