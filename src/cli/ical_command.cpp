#include "cli_args.h"
#include "cli_output.h"
#include "commands.h"
#include "platform/untrusted_text.h"

#include "archive/locked_list.h"
#include "ical/calendar_reader.h"
#include "ical/calendar_writer.h"
#include "ical/todo_import.h"
#include "model/item_uids.h"
#include "platform/atomic_file.h"

namespace tardigo::cli {

namespace {

const QString kExportSynopsis = QStringLiteral("ical export LIST OUT.ics [--force]");
const QString kImportSynopsis = QStringLiteral("ical import IN.ics LIST");

int exportCalendar(const QStringList& args) {
    const auto parsed = argsFor(args, 2, kExportSynopsis, {}, {QStringLiteral("--force")});
    if (!parsed)
        return Usage;
    const QString &listPath = parsed->positional[0], &target = parsed->positional[1];
    if (refusesOutput(target, OutputKind::Other, {listPath}, *parsed))
        return Failure;
    QString error;
    const std::optional<LockedList> list = LockedList::open(listPath, false, &error);
    if (!list)
        return fail(error);
    // Items get their uids the first time they leave the list, and keep them: save them first, so
    // that the calendar never names an item the list does not know by that uid.
    if (assignItemUids(*list->root()) > 0) {
        if (error = list->save(); !error.isEmpty())
            return fail(error);
    }
    error = writeFileAtomically(target, listCalendarText(*list->root()));
    return error.isEmpty() ? Success : fail(error);
}

int importCalendar(const QStringList& args) {
    const auto parsed = argsFor(args, 2, kImportSynopsis);
    if (!parsed)
        return Usage;
    const QString& source = parsed->positional[0];
    QString error;
    const std::optional<QByteArray> bytes = readWholeFile(source, &error, kMaxCalendarBytes);
    if (!bytes)
        return fail(error);
    // What a calendar says reaches the terminal only escaped, in messages as in names.
    const CalendarRead read = readCalendar(*bytes, source);
    if (!read.ok())
        return fail(terminalSafe(read.error));
    const std::optional<LockedList> list = LockedList::open(parsed->positional[1], true, &error);
    if (!list)
        return fail(error);
    const TodoImport imported = importTodos(*list->root(), read, source);
    if (!imported.ok())
        return fail(terminalSafe(imported.error));
    for (const QString& line : imported.leftOut)
        err() << terminalSafe(line) << " That part was left out." << Qt::endl;
    if (error = list->save(); !error.isEmpty())
        return fail(error);
    out() << QStringLiteral("%1: %2 to-dos added, %3 updated, %4 other components passed over.")
                 .arg(terminalSafe(source))
                 .arg(imported.added)
                 .arg(imported.updated)
                 .arg(imported.others)
          << Qt::endl;
    if (!imported.keptRules.isEmpty()) {
        out() << "These items repeat by a rule no Tardigo period expresses, so they were imported without a "
                 "repeat (the rule is kept and written back when the list is exported):";
        for (const QString& name : imported.keptRules)
            out() << "\n  " << terminalSafe(name);
        out() << Qt::endl;
    }
    return Success;
}

} // namespace

int commandIcal(const QStringList& args) {
    const QString sub = args.value(0);
    if (sub == QLatin1String("export"))
        return exportCalendar(args.mid(1));
    if (sub == QLatin1String("import"))
        return importCalendar(args.mid(1));
    return usage(kExportSynopsis + QStringLiteral("\n       tardigo-cli ") + kImportSynopsis);
}

} // namespace tardigo::cli
