#include "cli_output.h"
#include "commands.h"
#include "list_update.h"
#include "platform/untrusted_text.h"
#include "remind_command.h"

#include "platform/file_name_encoding.h"
#include "platform/translations.h"

#include <QCoreApplication>
#include <QLocale>
#include <QLoggingCategory>

using namespace tardigo::cli;

namespace {

struct Command {
    const char* name;
    const char* synopsis;
    const char* summary;
    int (*run)(const QStringList&);
};

const Command kCommands[] = {
    {"new", "new FILE [--force]", "write a new, empty list (refuses to overwrite without --force)",
     commandNew},
    {"add", "add FILE NAME [--parent PATH]",
     "append a new item; PATH is slash-separated child indexes from the top, e.g. 0/2", commandAdd},
    {"add", "add FILE --parse TEXT [--parent PATH]",
     "append a new item read from TEXT as quick add reads it: \"Call Anna tomorrow 10:00 #work\" is due "
     "tomorrow at 10:00 in category work",
     commandAdd},
    {"show", "show FILE", "print the list as an indented outline under its outstanding count", commandShow},
    {"dump", "dump FILE", "print the list's root node as JSON, after the repairs run on opening",
     commandDump},
    {"check", "check FILE", "exit 0 for a current list, 3 for a 1.x list, 1 with the reason otherwise",
     commandCheck},
    {"archive", "archive FILE [--rewrite OUT [--force]]",
     "print any typed-stream archive as JSON; --rewrite writes it back to OUT as read (refuses to overwrite "
     "without --force)",
     commandArchive},
    {"export", "export FILE OUT.plist [--force]",
     "write the list's items as an XML property list that other programs read (refuses to overwrite without "
     "--force)",
     commandExport},
    {"import", "import OLD NEW [--force]", "convert a Tardigo 1.x list to a current list", commandImport},
    {"ical", "ical export LIST OUT.ics [--force]",
     "write every item as an iCalendar to-do (one VCALENDAR); items get a lasting uid the first time",
     commandIcal},
    {"ical", "ical import IN.ics LIST",
     "add a calendar's to-dos as items with their tree; a to-do whose uid the list holds updates that item",
     commandIcal},
    {"sync", "sync LIST [FOLDER] [--allow-removals]",
     "sync the list both ways with a vdir folder (one .ics per to-do, as vdirsyncer keeps it); naming FOLDER "
     "binds the list to it on this computer, so later FOLDER may be left out; a folder that lost most of its "
     "to-dos removes items only with --allow-removals",
     commandSync},
    {"sync", "sync LIST --account NAME --calendar CALENDAR [--rebind] [--allow-removals] [--password-stdin]",
     "sync the list both ways with a calendar of a CalDAV account, found by its display name or path, or "
     "made "
     "when none bears the name; the list is bound to it on this computer, so later `sync LIST` is enough; a "
     "list "
     "bound elsewhere moves only with --rebind",
     commandSync},
    {"sync", "sync --all [--allow-removals]",
     "sync every watched list with the folder or calendar it is bound to, running the preference syncCommand "
     "(e.g. \"vdirsyncer sync\", set with config) before and after, to fetch and send",
     commandSync},
    {"account", "account add NAME URL USER [--password-stdin] [--accept-certificate SHA256] [--allow-http]",
     "add a CalDAV account: finds its calendars with the password (typed without echo, or the first line of "
     "standard input) and keeps the password in the desktop's keyring; plain http only to this computer "
     "unless --allow-http; a certificate that is not trusted only when its SHA-256 fingerprint is given",
     commandAccount},
    {"account", "account list", "list the CalDAV accounts (the passwords stay in the keyring)",
     commandAccount},
    {"account", "account remove NAME", "forget a CalDAV account and remove its password from the keyring",
     commandAccount},
    {"account", "account calendars NAME [--password-stdin]",
     "list the account's calendars, with those that hold no to-dos marked", commandAccount},
    {"find", "find TERM [LIST...]",
     "print each item whose name, category or notes hold every word of TERM (ignoring case and accents): "
     "the list, the item's place (as for --parent) and the names down to it; the watched lists when none "
     "is named",
     commandFind},
    {"agenda", "agenda [--days N] [--json] [LIST...]",
     "print the outstanding items due within N days (7 unless said; overdue ones first), by due date; "
     "--json prints a JSON array of objects with name, list, category and due (ISO 8601); the watched "
     "lists when none is named",
     commandAgenda},
    {"remind", "remind [--now \"YYYY-MM-DD HH:MM:SS +ZZZZ\"] [--apply] [--all] [--channels LIST] [FILE...]",
     "one minder pass: print past-due items and reminders (and send them through the channels: print, mail, "
     "notify, speak, beep); --apply saves what the pass changed",
     commandRemind},
    {"config", "config [KEY [VALUE]] | config --reset KEY",
     "list the preferences with their values and whether each is the default; print one, set one (checked "
     "against its kind: true or false, a number, a text, a list as a, b, c), or return one to its default",
     commandConfig},
};

void printHelp() {
    out() << "tardigo-cli: create, show, check and convert Tardigo to-do lists (.todo files)\n\n"
          << "usage: tardigo-cli COMMAND [ARGS]\n\ncommands:\n";
    for (const Command& c : kCommands)
        out() << "  " << QString::fromLatin1(c.synopsis).leftJustified(34)
              << (qstrlen(c.synopsis) > 34 ? "\n" + QString(36, u' ') : QString()) << " " << c.summary
              << "\n";
    out() << "\nExit status: 0 success, 1 error, 2 usage, 3 the file is a Tardigo 1.x list (check).\n";
    out().flush();
}

/// Refuses an argument that is not UTF-8: Qt reads each as UTF-8, so such a file name would come to
/// name another file, and such a text would lose its letters. Answers whether all are.
bool argumentsAreText(int argc, char** argv) {
    const QString refusal = tardigo::notUtf8ArgumentReason(QStringLiteral("tardigo-cli"), argc, argv);
    if (!refusal.isEmpty())
        fail(tardigo::terminalSafe(refusal));
    return refusal.isEmpty();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tardigo"));
    // What it stores in a list (an item's history) and tells of it is in the user's language, as the
    // window stores and tells it.
    tardigo::installTranslations(QLocale());
    // The shell wants results and errors, not the program's progress lines (QT_LOGGING_RULES still wins).
    QLoggingCategory::setFilterRules(QStringLiteral("tardigo.*.debug=false\ntardigo.*.info=false"));
    announceLockWaits();
    if (!argumentsAreText(argc, argv))
        return Failure;
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return usage(QStringLiteral("COMMAND [ARGS]"));
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("help")) {
        printHelp();
        return Success;
    }
    for (const Command& c : kCommands) {
        if (name == QLatin1String(c.name)) {
            const int code = c.run(args);
            out().flush();
            return code;
        }
    }
    err() << "tardigo-cli: unknown command “" << name << "”." << Qt::endl;
    return usage(QStringLiteral("COMMAND [ARGS]"));
}
