#include "caldav/account_removal.h"

#include "caldav/account_passwords.h"
#include "sync/sync_bindings.h"

#include <algorithm>

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
    AccountPasswords(store).removeForgotten(
        [store, name, removed, done = std::move(done)](const QString& failure) mutable {
            QString error;
            const std::optional<QList<KeyringEntry>> forgotten = store.forgottenPasswords(&error);
            const bool left =
                !forgotten || std::any_of(forgotten->cbegin(), forgotten->cend(),
                                          [&](const KeyringEntry& entry) { return entry.account == name; });
            if (left)
                removed.passwordLeft = (failure.isEmpty() ? error : failure) +
                                       QStringLiteral(" Tardigo removes it the next time a keyring answers.");
            done(removed);
        });
}

} // namespace tardigo
