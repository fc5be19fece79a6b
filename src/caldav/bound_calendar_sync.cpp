#include "caldav/bound_calendar_sync.h"

#include "caldav/account_passwords.h"
#include "caldav/calendar_sync.h"
#include "caldav/wait_for.h"
#include "sync/sync_bindings.h"
#include "sync/sync_state.h"

namespace tardigo {

namespace {

SyncReport stopped(const QString& calendar, const QString& error) {
    SyncReport report;
    report.folder = calendar;
    report.error = error;
    return report;
}

} // namespace

std::optional<QString> keyringPassword(const Account& account, QString* error) {
    return passwordFrom(account, waitFor<Keyring::Answer>([&](Keyring::Done done) {
                            AccountPasswords().read(account, std::move(done));
                        }))(account, error);
}

PasswordSource passwordFrom(const Account& readFor, Keyring::Answer kept) {
    return [entry = readFor.keyringEntry(),
            kept = std::move(kept)](const Account& account, QString* error) -> std::optional<QString> {
        if (account.keyringEntry() != entry) {
            *error = QStringLiteral("The account “%1” changed while its password was read; nothing was "
                                    "synced. Sync again.")
                         .arg(account.name);
            return std::nullopt;
        }
        if (kept.ok())
            return kept.password;
        *error = QStringLiteral("The password of the account “%1” is not at hand: %2")
                     .arg(account.name, kept.reason);
        return std::nullopt;
    };
}

SyncReport syncBoundCalendar(const QString& list, const QString& calendar, const SyncOptions& options,
                             const PasswordSource& password) {
    QString accountName = options.bind ? options.account : QString();
    if (accountName.isEmpty()) {
        const QString stateFolder =
            options.stateFolder.isEmpty() ? SyncState::defaultFolder() : options.stateFolder;
        const std::optional<SyncBinding> binding = SyncBindings(stateFolder).bindingOf(list);
        if (!binding || binding->location != calendar || binding->account.isEmpty()) {
            SyncReport report =
                stopped(calendar, QStringLiteral("%1 names the calendar %2, but it was never synced "
                                                 "with it on this computer: it may be a copy, or a "
                                                 "list from someone else. Nothing was synced.")
                                      .arg(list, calendar));
            report.unbound = true;
            return report;
        }
        accountName = binding->account;
    }
    QString error;
    const std::optional<Account> account = AccountStore().find(accountName, &error);
    if (!account)
        return stopped(calendar, error + QStringLiteral(" Nothing was synced."));
    const std::optional<QString> given = password(*account, &error);
    if (!given)
        return stopped(calendar, error);
    CalDavClient client(account->access(*given));
    client.dav().setCancel(options.cancel);
    SyncReport report = syncWithCalendar(list, client, QUrl(calendar), options);
    report.passwordRefused = client.dav().passwordRefused();
    return report;
}

} // namespace tardigo
