#include "account_access.h"
#include "cli_args.h"
#include "cli_output.h"
#include "commands.h"
#include "password_input.h"
#include "terminal_text.h"

#include "caldav/caldav_client.h"
#include "caldav/certificate_text.h"
#include "caldav/keyring.h"
#include "caldav/wait_for.h"

namespace tardigo::cli {

namespace {

const QString kAddSynopsis = QStringLiteral(
    "account add NAME URL USER [--password-stdin] [--accept-certificate SHA256] [--allow-http]");
const QString kListSynopsis = QStringLiteral("account list");
const QString kRemoveSynopsis = QStringLiteral("account remove NAME");
const QString kCalendarsSynopsis = QStringLiteral("account calendars NAME [--password-stdin]");
const QString kPasswordStdin = QStringLiteral("--password-stdin");

Keyring::Answer waitForKeyring(const std::function<void(Keyring::Done)>& start) {
    return waitFor<Keyring::Answer>(start);
}

/// The account the arguments describe, before its server is asked; nothing after saying why not.
std::optional<Account> describedAccount(const CliArgs& parsed) {
    Account account;
    account.name = parsed.positional[0];
    account.url = QUrl(parsed.positional[1], QUrl::StrictMode);
    account.user = parsed.positional[2];
    account.allowHttp = parsed.flags.contains(QLatin1String("--allow-http"));
    QString refused = AccountStore::refusedName(account.name);
    if (refused.isEmpty() && !(refused = refusedServerUrl(account.url, account.allowHttp)).isEmpty() &&
        account.url.scheme() == QLatin1String("http"))
        refused += QStringLiteral(" To send it all the same, give --allow-http.");
    if (refused.isEmpty() && account.user.isEmpty())
        refused = QStringLiteral("An account needs a user name.");
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
    std::optional<Account> account = describedAccount(*parsed);
    if (!account)
        return Failure;
    AccountStore store;
    QString error;
    const std::optional<QList<Account>> accounts = store.load(&error);
    if (!accounts)
        return fail(error);
    if (std::any_of(accounts->cbegin(), accounts->cend(),
                    [&](const Account& a) { return a.name == account->name; }))
        return fail(
            terminalSafe(QStringLiteral("There is an account “%1” already; remove it first to add it anew.")
                             .arg(account->name)));
    if (account->url.scheme() == QLatin1String("http") && !isLoopbackHost(account->url.host()))
        err() << "tardigo-cli: warning: " << terminalSafe(serverName(account->url))
              << " is plain http: the password and the lists travel unencrypted." << Qt::endl;
    const std::optional<QString> password = readPassword(
        parsed->flags.contains(kPasswordStdin),
        QStringLiteral("Password for %1 at %2: ").arg(account->user, serverName(account->url)), &error);
    if (!password)
        return fail(error);

    CalDavClient client(account->access(*password));
    const auto places = waitForDav<AccountPlaces>([&](auto done) { client.discover(std::move(done)); });
    if (!places.ok())
        return failWithServer(QStringLiteral("The account “%1” was not added.").arg(account->name),
                              places.error);
    account->principal = places.value.principal;
    account->home = places.value.home;

    const Keyring::Answer kept = waitForKeyring(
        [&](Keyring::Done done) { Keyring::writePassword(account->name, *password, std::move(done)); });
    if (error = store.add(*account); !error.isEmpty()) {
        if (kept.ok())
            waitForKeyring(
                [&](Keyring::Done done) { Keyring::removePassword(account->name, std::move(done)); });
        return fail(terminalSafe(error));
    }
    out() << terminalSafe(
                 QStringLiteral("Added the account “%1”: %2 at %3, calendars at %4.")
                     .arg(account->name, account->user, serverName(account->url), account->home.path()))
          << Qt::endl;
    if (!kept.ok())
        err() << "tardigo-cli: " << terminalSafe(kept.reason)
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
    if (const QString error = AccountStore().remove(name); !error.isEmpty())
        return fail(terminalSafe(error));
    const Keyring::Answer removed =
        waitForKeyring([&](Keyring::Done done) { Keyring::removePassword(name, std::move(done)); });
    out() << terminalSafe(QStringLiteral("Removed the account “%1”.").arg(name)) << Qt::endl;
    if (!removed.ok() && removed.outcome != Keyring::Outcome::NotFound)
        err() << "tardigo-cli: its password may still be in the keyring: " << terminalSafe(removed.reason)
              << Qt::endl;
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
    const std::optional<QString> password =
        accountPassword(*account, parsed->flags.contains(kPasswordStdin), &error);
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
