#include "calendar_sync_command.h"
#include "cli_args.h"
#include "cli_output.h"
#include "commands.h"
#include "platform/untrusted_text.h"

#include "archive/list_file.h"
#include "sync/list_sync.h"
#include "sync/sync_all.h"
#include "sync/sync_store.h"

#include <QFileInfo>

namespace tardigo::cli {

namespace {

const QString kSynopsis = QStringLiteral(
    "sync LIST [FOLDER] [--allow-removals] [--password-stdin] | sync LIST --account NAME --calendar CALENDAR "
    "[--rebind] [--allow-removals] [--password-stdin] | sync --all [--allow-removals]");
const QString kAllowRemovals = QStringLiteral("--allow-removals");
const QString kAccount = QStringLiteral("--account");
const QString kCalendar = QStringLiteral("--calendar");
const QString kRebind = QStringLiteral("--rebind");
const QString kPasswordStdin = QStringLiteral("--password-stdin");

void warn(const QString& text) {
    err() << "tardigo-cli: " << terminalSafe(text) << Qt::endl;
}

/// What to run to go ahead with a sync that stopped and waits for the user's word; empty for none.
QString adviceFor(const QString& list, const SyncReport& report) {
    if (report.unbound && isServerLocation(report.folder))
        return QStringLiteral(
                   "To sync it with that calendar, run: tardigo-cli sync %1 --account NAME --calendar "
                   "CALENDAR")
            .arg(list);
    if (report.unbound)
        return QStringLiteral("To sync it with that folder, run: tardigo-cli sync %1 %2")
            .arg(list, report.folder);
    if (report.heldRemovals > 0)
        return QStringLiteral("If those to-dos were deleted on purpose, run: tardigo-cli sync %1 %2")
            .arg(list, kAllowRemovals);
    return {};
}

/// Prints what a list's sync did, every text from the list or the folder escaped, naming the list
/// in a failure with `amongOthers`; answers whether it ran to its end and wrote everything it meant
/// to.
bool printReport(const QString& list, const SyncReport& report, bool amongOthers = false) {
    if (!report.error.isEmpty()) {
        warn(amongOthers ? QStringLiteral("%1 did not sync: %2").arg(list, report.error) : report.error);
        if (const QString advice = adviceFor(list, report); !advice.isEmpty())
            warn(advice);
        return false;
    }
    out() << terminalSafe(list) << ": " << terminalSafe(report.summary()) << Qt::endl;
    for (const QString& name : report.conflicts)
        out() << "  changed on both sides, both versions kept: " << terminalSafe(name) << Qt::endl;
    for (const QString& name : report.keptRules)
        out() << "  repeats by a rule no Tardigo period expresses, kept without a repeat: "
              << terminalSafe(name) << Qt::endl;
    for (const QString& problem : report.problems)
        warn(problem);
    for (const QString& failure : report.writeFailures)
        warn(failure);
    return report.ok();
}

} // namespace

int commandSync(const QStringList& args) {
    QString error;
    const std::optional<CliArgs> parsed =
        CliArgs::parse(args, {kAccount, kCalendar},
                       {QStringLiteral("--all"), kAllowRemovals, kRebind, kPasswordStdin}, &error);
    if (!parsed) {
        err() << "tardigo-cli: " << error << Qt::endl;
        return usage(kSynopsis);
    }
    SyncOptions options;
    options.allowRemovals = parsed->flags.contains(kAllowRemovals);
    const bool toCalendar = parsed->options.contains(kAccount) || parsed->options.contains(kCalendar);
    const bool fromStdin = parsed->flags.contains(kPasswordStdin);
    if (parsed->flags.contains(QLatin1String("--all"))) {
        // Many lists, many accounts: their passwords come from the keyring.
        if (!parsed->positional.isEmpty() || toCalendar || fromStdin || parsed->flags.contains(kRebind))
            return usage(kSynopsis);
        const SyncAllReport all =
            syncAllLists(options, [](const QString& list, const QString& calendar, const SyncOptions& each) {
                return syncBoundCalendar(list, calendar, each, false);
            });
        for (const QString& commandError : all.commandErrors)
            warn(commandError);
        QStringList failed;
        for (const auto& [list, report] : all.lists)
            if (!printReport(list, report, true))
                failed << list;
        if (!failed.isEmpty())
            warn(QStringLiteral("%1 of %2 lists did not sync in full: %3")
                     .arg(QString::number(failed.size()), QString::number(all.lists.size()),
                          failed.join(QStringLiteral(", "))));
        return all.ok() ? Success : Failure;
    }
    if (parsed->positional.isEmpty() || parsed->positional.size() > 2 ||
        (toCalendar && (parsed->positional.size() != 1 || parsed->options.size() != 2)) ||
        (parsed->flags.contains(kRebind) && !toCalendar))
        return usage(kSynopsis);
    const QString& list = parsed->positional[0];
    if (toCalendar) {
        const std::optional<SyncReport> report = syncWithAccountCalendar(list, *parsed, options);
        if (report && report->error.isEmpty())
            addToMinderWatchList(QFileInfo(list).absoluteFilePath());
        return report && printReport(list, *report) ? Success : Failure;
    }
    QString folder = parsed->positional.value(1);
    if (isServerLocation(folder))
        return fail(
            terminalSafe(QStringLiteral("%1 is a server's address; a list syncs with a calendar through "
                                        "its account: tardigo-cli sync %2 --account NAME --calendar "
                                        "CALENDAR")
                             .arg(folder, list)));
    // Naming the folder binds the list to it; a folder read from the list must be bound already.
    options.bind = !folder.isEmpty();
    if (folder.isEmpty()) {
        const ListLoad load = readListFile(list);
        if (!load.ok())
            return fail(terminalSafe(load.error));
        folder = syncFolderOf(*load.root);
        if (folder.isEmpty())
            return fail(terminalSafe(
                QStringLiteral("%1 has no sync folder yet; name one: tardigo-cli sync %1 FOLDER").arg(list)));
    }
    const SyncReport report = isServerLocation(folder) ? syncBoundCalendar(list, folder, options, fromStdin)
                                                       : syncList(list, folder, options);
    // Watched lists are the ones "sync --all" visits, as the minder does.
    if (report.error.isEmpty())
        addToMinderWatchList(QFileInfo(list).absoluteFilePath());
    return printReport(list, report) ? Success : Failure;
}

} // namespace tardigo::cli
