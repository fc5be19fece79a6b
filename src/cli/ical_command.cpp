#include "cli_args.h"
#include "cli_output.h"
#include "commands.h"

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
    const QString& target = parsed->positional[1];
    if (refusesToReplace(target, *parsed))
        return Failure;
    QString error;
    const std::optional<LockedList> list = LockedList::open(parsed->positional[0], false, &error);
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
    const std::optional<QByteArray> bytes = readWholeFile(source, &error);
    if (!bytes)
        return fail(error);
    const CalendarRead read = readCalendar(*bytes, source);
    if (!read.ok())
        return fail(read.error);
    const std::optional<LockedList> list = LockedList::open(parsed->positional[1], true, &error);
    if (!list)
        return fail(error);
    const TodoImport imported = importTodos(*list->root(), todosIn(read), source);
    if (!imported.ok())
        return fail(imported.error);
    if (error = list->save(); !error.isEmpty())
        return fail(error);
    out() << QStringLiteral("%1: %2 to-dos added, %3 updated, %4 other components passed over.")
                 .arg(source)
                 .arg(imported.added)
                 .arg(imported.updated)
                 .arg(imported.others)
          << Qt::endl;
    if (!imported.keptRules.isEmpty())
        out() << "These items repeat by a rule no Tardigo period expresses, so they were imported without a "
                 "repeat (the rule is kept and written back when the list is exported):\n  "
              << imported.keptRules.join(QStringLiteral("\n  ")) << Qt::endl;
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
