#include "caldav/account_passwords.h"

#include "caldav/caldav_log.h"

#include <memory>

namespace tardigo {

namespace {

/// What is left to remove, one entry at a time, and what went.
struct Removal {
    AccountStore store;
    QList<KeyringEntry> left;
    QList<KeyringEntry> gone;
    AccountPasswords::Removed done;
};

void removeNext(const std::shared_ptr<Removal>& removal) {
    if (removal->left.isEmpty()) {
        if (const QString error = removal->store.dropForgotten(removal->gone); !error.isEmpty())
            qCWarning(lcCalDav).noquote() << error;
        removal->done({});
        return;
    }
    Keyring::removePassword(removal->left.first(), [removal](const Keyring::Answer& answer) {
        if (!answer.removed()) {
            // The keyring is away or refuses: the rest waits for the next time, as this one does.
            if (const QString error = removal->store.dropForgotten(removal->gone); !error.isEmpty())
                qCWarning(lcCalDav).noquote() << error;
            removal->done(answer.reason);
            return;
        }
        removal->gone << removal->left.takeFirst();
        removeNext(removal);
    });
}

} // namespace

void AccountPasswords::removeForgotten(Removed done) const {
    QString error;
    const std::optional<QList<KeyringEntry>> forgotten = _store.forgottenPasswords(&error);
    if (!forgotten || forgotten->isEmpty()) {
        done(error);
        return;
    }
    removeNext(std::make_shared<Removal>(Removal{_store, *forgotten, {}, std::move(done)}));
}

void AccountPasswords::read(const Account& account, Keyring::Done done) const {
    removeForgotten([entry = account.keyringEntry(), done = std::move(done)](const QString&) mutable {
        Keyring::readPassword(entry, std::move(done));
    });
}

void AccountPasswords::keep(const Account& account, const QString& password, Keyring::Done done) const {
    removeForgotten([store = _store, entry = account.keyringEntry(), password,
                     done = std::move(done)](const QString&) mutable {
        Keyring::writePassword(entry, password, [store, entry, done = std::move(done)](Keyring::Answer kept) {
            if (!kept.ok()) {
                done(std::move(kept));
                return;
            }
            // Written anew: no longer the entry of a removed account, whatever became of that.
            if (const QString error = AccountStore(store).dropForgotten({entry}); !error.isEmpty())
                qCWarning(lcCalDav).noquote() << error;
            Keyring::removePassword(KeyringEntry::byNameAlone(entry.account),
                                    [kept, done](const Keyring::Answer&) { done(kept); });
        });
    });
}

} // namespace tardigo
