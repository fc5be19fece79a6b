#include "caldav/account_removal.h"

#include "caldav/keyring.h"
#include "sync/sync_bindings.h"

namespace tardigo {

QStringList listsSyncingWith(const QString& account, const QString& stateFolder) {
    return SyncBindings(stateFolder).listsOf(account);
}

void removeAccount(AccountStore& store, const QString& name, const QString& stateFolder,
                   std::function<void(const AccountRemoved&)> done) {
    AccountRemoved removed;
    if (removed.error = store.remove(name); !removed.error.isEmpty()) {
        done(removed);
        return;
    }
    const SyncBindings bindings(stateFolder);
    for (const QString& list : bindings.listsOf(name)) {
        if (const QString problem = bindings.unbind(list); problem.isEmpty())
            removed.unbound << list;
        else
            removed.problems << problem;
    }
    Keyring::removePassword(name, [removed, done = std::move(done)](const Keyring::Answer& answer) mutable {
        if (!answer.ok() && answer.outcome != Keyring::Outcome::NotFound)
            removed.passwordLeft = answer.reason;
        done(removed);
    });
}

} // namespace tardigo
