#pragma once

#include <QString>

#include <functional>

namespace tardigo {

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
    };
    using Done = std::function<void(Answer)>;

    static void readPassword(const QString& account, Done done);
    static void writePassword(const QString& account, const QString& password, Done done);
    static void removePassword(const QString& account, Done done);
};

} // namespace tardigo
