#include "account_access.h"
#include "cli_args.h"
#include "cli_output.h"
#include "commands.h"
#include "password_input.h"
#include "platform/untrusted_text.h"

#include "caldav/account_addition.h"
#include "caldav/account_removal.h"
#include "caldav/caldav_client.h"
#include "caldav/certificate_text.h"
#include "caldav/wait_for.h"
#include "sync/sync_state.h"

namespace tardigo::cli {

namespace {

const QString kAddSynopsis = QStringLiteral(
    "account add NAME URL USER [--password-stdin] [--accept-certificate SHA256] [--allow-http]");
const QString kListSynopsis = QStringLiteral("account list");
const QString kRemoveSynopsis = QStringLiteral("account remove NAME");
const QString kCalendarsSynopsis = QStringLiteral("account calendars NAME [--password-stdin]");
const QString kPasswordStdin = QStringLiteral("--password-stdin");

/// The account the arguments describe, before its server is asked; nothing after saying why not.
std::optional<Account> describedAccount(const CliArgs& parsed, const QList<Account>& existing) {
    Account account;
    account.name = parsed.positional[0];
    account.url = QUrl(parsed.positional[1], QUrl::StrictMode);
    account.user = parsed.positional[2];
    account.allowHttp = parsed.flags.contains(QLatin1String("--allow-http"));
    QString refused = AccountAddition::refusedAccount(account, existing);
    if (!refused.isEmpty() && AccountStore::refusedName(account.name).isEmpty() &&
        !refusedServerUrl(account.url, account.allowHttp).isEmpty() &&
        account.url.scheme() == QLatin1String("http"))
        refused += QStringLiteral(" To send it all the same, give --allow-http.");
    if (const QString certificate = parsed.options.value(QStringLiteral("--accept-certificate"));
        refused.isEmpty() && !certificate.isEmpty()) {
        const std::optional<QByteArray> digest = fingerprintDigest(certificate);
        if (!digest)
            refused =
                QStringLiteral("“%1” is no SHA-256 fingerprint: it has 64 hex digits, in pairs that colons "
                               "may join.")
                    .arg(certificate);
        account.acceptedCertificate = digest.value_or(QByteArray());
    }
    if (!refused.isEmpty()) {
        fail(terminalSafe(refused));
        return std::nullopt;
    }
    return account;
}

int addAccount(const QStringList& args) {
    const auto parsed = argsFor(args, 3, kAddSynopsis, {QStringLiteral("--accept-certificate")},
                                {kPasswordStdin, QStringLiteral("--allow-http")});
    if (!parsed)
        return Usage;
    AccountStore store;
    QString error;
    const std::optional<QList<Account>> accounts = store.load(&error);
    if (!accounts)
        return fail(error);
    const std::optional<Account> account = describedAccount(*parsed, *accounts);
    if (!account)
        return Failure;
    if (account->url.scheme() == QLatin1String("http") && !isLoopbackHost(account->url.host()))
        err() << "tardigo-cli: warning: " << terminalSafe(serverName(account->url))
              << " is plain http: the password and the lists travel unencrypted." << Qt::endl;
    const std::optional<QString> password = readPassword(
        parsed->flags.contains(kPasswordStdin),
        QStringLiteral("Password for %1 at %2: ").arg(account->user, serverName(account->url)), &error);
    if (!password)
        return fail(error);

    AccountAddition addition(store);
    const AccountAdded added = waitFor<AccountAdded>(
        [&](AccountAddition::Done done) { addition.start(*account, *password, std::move(done)); });
    if (!added.serverRefusal.ok())
        return failWithServer(QStringLiteral("The account “%1” was not added.").arg(account->name),
                              added.serverRefusal);
    if (!added.ok())
        return fail(terminalSafe(added.failure()));
    out() << terminalSafe(
                 QStringLiteral("Added the account “%1”: %2 at %3, calendars at %4.")
                     .arg(account->name, account->user, serverName(account->url), added.account.home.path()))
          << Qt::endl;
    if (!added.passwordNotKept.isEmpty())
        err() << "tardigo-cli: " << terminalSafe(added.passwordNotKept)
              << " The password was not kept; give it with --password-stdin each time the account is used."
              << Qt::endl;
    return Success;
}

int listAccounts(const QStringList& args) {
    if (!argsFor(args, 0, kListSynopsis))
        return Usage;
    QString error;
    const std::optional<QList<Account>> accounts = AccountStore().load(&error);
    if (!accounts)
        return fail(error);
    if (accounts->isEmpty())
        out() << "No accounts yet; add one with: tardigo-cli " << kAddSynopsis << Qt::endl;
    for (const Account& account : *accounts) {
        QStringList fields{account.name, account.user, account.url.toString()};
        if (!account.acceptedCertificate.isEmpty())
            fields << QStringLiteral("certificate accepted: ") + fingerprintText(account.acceptedCertificate);
        if (account.allowHttp)
            fields << QStringLiteral("plain http allowed");
        for (QString& field : fields)
            field = terminalSafe(field);
        out() << fields.join(u'\t') << '\n';
    }
    return Success;
}

int removeAccount(const QStringList& args) {
    const auto parsed = argsFor(args, 1, kRemoveSynopsis);
    if (!parsed)
        return Usage;
    const QString& name = parsed->positional[0];
    AccountStore store;
    const AccountRemoved removed = waitFor<AccountRemoved>([&](std::function<void(AccountRemoved)> done) {
        removeAccount(store, name, SyncState::defaultFolder(), std::move(done));
    });
    if (!removed.error.isEmpty())
        return fail(terminalSafe(removed.error));
    out() << terminalSafe(QStringLiteral("Removed the account “%1”.").arg(name)) << Qt::endl;
    for (const QString& list : removed.unbound)
        out() << "  " << terminalSafe(list) << " no longer syncs with its calendar." << Qt::endl;
    for (const QString& problem : removed.problems)
        err() << "tardigo-cli: " << terminalSafe(problem) << Qt::endl;
    if (!removed.passwordLeft.isEmpty())
        err() << "tardigo-cli: its password may still be in the keyring: "
              << terminalSafe(removed.passwordLeft) << Qt::endl;
    return Success;
}

int listCalendars(const QStringList& args) {
    const auto parsed = argsFor(args, 1, kCalendarsSynopsis, {}, {kPasswordStdin});
    if (!parsed)
        return Usage;
    QString error;
    const std::optional<Account> account = AccountStore().find(parsed->positional[0], &error);
    if (!account)
        return fail(terminalSafe(error));
    const bool fromStdin = parsed->flags.contains(kPasswordStdin);
    const std::optional<QString> password = accountPassword(*account, fromStdin, &error);
    if (!password)
        return fail(terminalSafe(error));
    CalDavClient client(account->access(*password));
    const auto calendars = waitForDav<QList<CalendarInfo>>(
        [&](auto done) { client.listCalendars(account->home, std::move(done)); });
    if (!calendars.ok())
        return failWithServer(QStringLiteral("The calendars of “%1” could not be listed.").arg(account->name),
                              calendars.error);
    for (const CalendarInfo& calendar : calendars.value)
        out() << terminalSafe(calendar.displayName) << '\t' << terminalSafe(calendar.url.path())
              << (calendar.holdsTodos ? "" : "\t(holds no to-dos)") << '\n';
    if (fromStdin)
        keepGivenPassword(*account, *password);
    return Success;
}

} // namespace

int commandAccount(const QStringList& args) {
    const QString sub = args.value(0);
    const QStringList rest = args.mid(1);
    if (sub == QLatin1String("add"))
        return addAccount(rest);
    if (sub == QLatin1String("list"))
        return listAccounts(rest);
    if (sub == QLatin1String("remove"))
        return removeAccount(rest);
    if (sub == QLatin1String("calendars"))
        return listCalendars(rest);
    return usage(QStringLiteral("account add|list|remove|calendars ..."));
}

} // namespace tardigo::cli
