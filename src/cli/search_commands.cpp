#include "cli/cli_args.h"
#include "cli/cli_output.h"
#include "cli/commands.h"
#include "cli/list_paths.h"
#include "platform/untrusted_text.h"

#include "agenda/core/agenda.h"
#include "archive/list_file.h"
#include "dates/due_date_format.h"
#include "model/clock.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "search/item_search.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <functional>

namespace tardigo::cli {

namespace {

const QString kFindSynopsis = QStringLiteral("find TERM [LIST...]");
const QString kAgendaSynopsis = QStringLiteral("agenda [--days N] [--json] [LIST...]");
const QString kDays = QStringLiteral("--days");
const QString kJson = QStringLiteral("--json");
constexpr int kDefaultDays = 7;
constexpr int kMaxDays = 36'600;

QString sectionTitle(AgendaSection section) {
    switch (section) {
    case AgendaSection::Overdue:
        return QStringLiteral("Overdue");
    case AgendaSection::Today:
        return QStringLiteral("Today");
    case AgendaSection::Tomorrow:
        return QStringLiteral("Tomorrow");
    case AgendaSection::ThisWeek:
        return QStringLiteral("This Week");
    case AgendaSection::Later:
        return QStringLiteral("Later");
    case AgendaSection::NoDate:
        break;
    }
    return QStringLiteral("No Due Date");
}

/// Reads each list and hands it on. A list named on the command line must be one, and is named as
/// given when it is not (two lists may share a file name); among the watched ones, what is not a
/// readable list is passed over, as the minder does.
int forEachList(const QStringList& named, const std::function<void(const QString&, const Dict&)>& take) {
    int status = Success;
    for (const QString& path : namedOrWatchedLists(named)) {
        const ListLoad load = readListFile(path, path);
        if (load.ok())
            take(path, *load.root);
        else if (!named.isEmpty())
            status = fail(terminalSafe(load.error));
    }
    return status;
}

/// The names from the top of the list down to the item, as the outline shows the way there.
QString namesOnTheWay(const Dict& root, const QList<int>& path) {
    QStringList names;
    const Dict* node = &root;
    for (const int index : path) {
        const NodePtr child = childAt(*childrenOf(*node), index);
        names << stringOf(*child, key::name);
        node = child.get();
    }
    return names.join(QStringLiteral(" / "));
}

} // namespace

int commandFind(const QStringList& args) {
    const std::optional<CliArgs> parsed = argsFor(args, {1, kUnbounded}, kFindSynopsis);
    if (!parsed)
        return Usage;
    const ItemSearch search(parsed->positional.first());
    if (search.isEmpty())
        return fail(QStringLiteral("the search holds no word to find."));
    // One line a match, its fields separated by tabs: none of them holds a control character.
    const int status =
        forEachList(parsed->positional.mid(1), [&search](const QString& path, const Dict& root) {
            for (const FoundItem& found : findItems(root, search))
                out() << terminalSafe(path) << '\t' << itemPathText(found.path) << '\t'
                      << terminalSafe(namesOnTheWay(root, found.path)) << '\n';
        });
    out().flush();
    return status;
}

int commandAgenda(const QStringList& args) {
    const std::optional<CliArgs> parsed = argsFor(args, {0, kUnbounded}, kAgendaSynopsis, {kDays}, {kJson});
    if (!parsed)
        return Usage;
    bool ok = true;
    const int days = parsed->options.contains(kDays) ? parsed->options.value(kDays).toInt(&ok) : kDefaultDays;
    if (!ok || days < 0 || days > kMaxDays) {
        err() << "tardigo-cli: --days takes a whole number of days from 0 to " << kMaxDays << "." << Qt::endl;
        return usage(kAgendaSynopsis);
    }
    const QDateTime now = Clock::now();
    // Today and the days after it, each to its end; what is overdue comes first.
    const QDateTime until(now.date().addDays(days + 1), QTime(0, 0));
    std::vector<AgendaEntry> entries;
    const int status = forEachList(parsed->positional, [&](const QString& path, const Dict& root) {
        for (AgendaEntry& entry : agendaEntries(path, root, now, ItemSearch(), false))
            if (entry.due < until)
                entries.push_back(std::move(entry));
    });
    sortAgenda(entries);
    if (parsed->flags.contains(kJson)) {
        QJsonArray items;
        for (const AgendaEntry& entry : entries)
            items.append(QJsonObject{
                {QStringLiteral("name"), stringOf(*entry.item, key::name)},
                {QStringLiteral("list"), entry.list},
                {QStringLiteral("category"), stringOf(*entry.item, key::category)},
                {QStringLiteral("due"),
                 entry.due.toOffsetFromUtc(entry.due.offsetFromUtc()).toString(Qt::ISODate)},
            });
        out() << terminalSafeJson(QJsonDocument(items).toJson(QJsonDocument::Indented));
    } else {
        for (const AgendaEntry& entry : entries)
            out() << sectionTitle(entry.section) << '\t' << formatDueDate(entry.due) << '\t'
                  << terminalSafe(stringOf(*entry.item, key::name)) << '\t'
                  << terminalSafe(stringOf(*entry.item, key::category)) << '\t' << terminalSafe(entry.list)
                  << '\n';
    }
    out().flush();
    return status;
}

} // namespace tardigo::cli
