#include "calendar_sync_command.h"

#include "account_access.h"
#include "cli_output.h"
#include "platform/untrusted_text.h"

#include "archive/list_file.h"
#include "caldav/bound_calendar_sync.h"
#include "caldav/calendar_choice.h"
#include "caldav/calendar_sync.h"
#include "caldav/wait_for.h"
#include "sync/sync_bindings.h"
#include "sync/sync_state.h"

namespace tardigo::cli {

namespace {

const QString kPasswordStdin = QStringLiteral("--password-stdin");

QString stateFolderOf(const SyncOptions& options) {
    return options.stateFolder.isEmpty() ? SyncState::defaultFolder() : options.stateFolder;
}

std::nullopt_t refuse(const QString& message) {
    fail(message);
    return std::nullopt;
}

std::nullopt_t refuseWithServer(const QString& context, const DavError& error) {
    failWithServer(context, error);
    return std::nullopt;
}

} // namespace

std::optional<SyncReport> syncWithAccountCalendar(const QString& list, const CliArgs& parsed,
                                                  SyncOptions options) {
    const QString name = parsed.options.value(QStringLiteral("--account"));
    const QString wanted = parsed.options.value(QStringLiteral("--calendar"));
    // A list that does not read asks nothing of the server, and makes no calendar there.
    const ListLoad load = readListFile(list);
    if (!load.ok())
        return refuse(terminalSafe(load.error));
    QString error;
    const std::optional<Account> account = AccountStore().find(name, &error);
    if (!account)
        return refuse(terminalSafe(error));
    const bool fromStdin = parsed.flags.contains(kPasswordStdin);
    const std::optional<QString> password = accountPassword(*account, fromStdin, &error);
    if (!password)
        return refuse(terminalSafe(error));
    CalDavClient client(account->access(*password));
    const auto calendars = waitForDav<QList<CalendarInfo>>(
        [&](auto done) { client.listCalendars(account->home, std::move(done)); });
    if (!calendars.ok())
        return refuseWithServer(QStringLiteral("Nothing was synced."), calendars.error);
    const CalendarChoice choice = chooseCalendar(calendars.value, account->home, wanted);
    if (!choice.refusal.isEmpty())
        return refuse(terminalSafe(choice.refusal + QStringLiteral(" Nothing was synced.")));

    const QString bound = SyncBindings(stateFolderOf(options)).locationOf(list, *load.root);
    const bool elsewhere = !bound.isEmpty() && (!choice.calendar || bound != choice.calendar->url.toString());
    if (elsewhere && !parsed.flags.contains(QLatin1String("--rebind")))
        return refuse(
            terminalSafe(QStringLiteral("%1 syncs with %2 on this computer. To sync it with the calendar "
                                        "“%3” of “%4” instead, add --rebind.")
                             .arg(list, bound, wanted, account->name)));
    CalendarInfo calendar = choice.calendar.value_or(CalendarInfo());
    if (!choice.calendar) {
        const auto made = waitForDav<CalendarInfo>(
            [&](auto done) { client.makeCalendar(account->home, wanted, std::move(done)); });
        if (!made.ok())
            return refuseWithServer(
                QStringLiteral("The calendar “%1” could not be made; nothing was synced.").arg(wanted),
                made.error);
        calendar = made.value;
        out() << terminalSafe(
                     QStringLiteral("Made the calendar “%1” at %2.").arg(wanted, calendar.url.path()))
              << Qt::endl;
    }
    options.bind = true;
    options.account = account->name;
    SyncReport report = syncWithCalendar(list, client, calendar.url, options);
    if (fromStdin && report.error.isEmpty() && !client.dav().passwordRefused())
        keepGivenPassword(*account, *password);
    return report;
}

SyncReport syncBoundCalendar(const QString& list, const QString& calendar, const SyncOptions& options,
                             bool passwordFromStdin) {
    std::optional<std::pair<Account, QString>> given;
    const QString advice =
        QStringLiteral("Give it once on standard input: tardigo-cli sync %1 --password-stdin").arg(list);
    SyncReport report =
        tardigo::syncBoundCalendar(list, calendar, options, [&](const Account& account, QString* error) {
            std::optional<QString> password = accountPassword(account, passwordFromStdin, error, advice);
            if (password && passwordFromStdin)
                given.emplace(account, *password);
            return password;
        });
    if (given && report.error.isEmpty() && !report.passwordRefused)
        keepGivenPassword(given->first, given->second);
    return report;
}

} // namespace tardigo::cli
