#include "cli_args.h"
#include "cli_output.h"
#include "commands.h"

#include "archive/list_file.h"
#include "sync/list_sync.h"
#include "sync/sync_all.h"

#include <QFileInfo>

namespace tardigo::cli {

namespace {

const QString kSynopsis = QStringLiteral("sync LIST [FOLDER] | sync --all");

/// Prints what a list's sync did; answers whether it ran.
bool printReport(const QString& list, const SyncReport& report) {
    if (!report.ok()) {
        fail(report.error);
        return false;
    }
    out() << list << ": " << report.summary() << Qt::endl;
    for (const QString& name : report.conflicts)
        out() << "  changed on both sides, both versions kept: " << name << Qt::endl;
    for (const QString& name : report.keptRules)
        out() << "  repeats by a rule no Tardigo period expresses, kept without a repeat: " << name
              << Qt::endl;
    for (const QString& problem : report.problems)
        err() << "tardigo-cli: " << problem << Qt::endl;
    return true;
}

} // namespace

int commandSync(const QStringList& args) {
    QString error;
    const std::optional<CliArgs> parsed = CliArgs::parse(args, {}, {QStringLiteral("--all")}, &error);
    if (!parsed) {
        err() << "tardigo-cli: " << error << Qt::endl;
        return usage(kSynopsis);
    }
    if (parsed->flags.contains(QLatin1String("--all"))) {
        if (!parsed->positional.isEmpty())
            return usage(kSynopsis);
        const SyncAllReport all = syncAllLists();
        for (const QString& commandError : all.commandErrors)
            fail(commandError);
        for (const auto& [list, report] : all.lists)
            printReport(list, report);
        return all.ok() ? Success : Failure;
    }
    if (parsed->positional.isEmpty() || parsed->positional.size() > 2)
        return usage(kSynopsis);
    const QString& list = parsed->positional[0];
    QString folder = parsed->positional.value(1);
    if (folder.isEmpty()) {
        const ListLoad load = readListFile(list);
        if (!load.ok())
            return fail(load.error);
        folder = syncFolderOf(*load.root);
        if (folder.isEmpty())
            return fail(
                QStringLiteral("%1 has no sync folder yet; name one: tardigo-cli sync %1 FOLDER").arg(list));
    }
    if (!printReport(list, syncList(list, folder)))
        return Failure;
    // Watched lists are the ones "sync --all" visits, as the minder does.
    addToMinderWatchList(QFileInfo(list).absoluteFilePath());
    return Success;
}

} // namespace tardigo::cli
