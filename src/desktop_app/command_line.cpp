#include "desktop_app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

namespace tardigo {

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("CommandLine", "To-do lists as outlines.") + QStringLiteral("\n\n") +
        QCoreApplication::translate("CommandLine", "Printing a list without a window:") +
        QStringLiteral("\n  tardigo --print-to-pdf OUT.pdf [--force] [--print-notes] [--print-icons] "
                       "[--print-checkboxes] LIST"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption dark(
        QStringLiteral("dark"),
        QCoreApplication::translate("CommandLine", "Use the dark palette (also TARDIGO_DARK=1)."));
    const QCommandLineOption newItem(
        QStringLiteral("new-item"),
        QCoreApplication::translate("CommandLine", "Add an item named TEXT to the first list."),
        QStringLiteral("TEXT"));
    const QCommandLineOption fromSelection(
        QStringLiteral("new-item-from-selection"),
        QCoreApplication::translate(
            "CommandLine", "Add an item named after the text selected on the desktop (else the clipboard's) "
                           "to the first list."));
    const QCommandLineOption quickAdd(
        QStringLiteral("quick-add"),
        QCoreApplication::translate(
            "CommandLine", "Show the quick-add window: a line such as \"Call Anna tomorrow 10:00 #work\" "
                           "becomes an item of the quickAddList preference's list (else the first "
                           "open list)."));
    const QCommandLineOption searchProvider(
        QStringLiteral("search-provider"),
        QCoreApplication::translate(
            "CommandLine", "Answer the desktop's search without opening a window, and quit after a minute "
                           "without a search (the desktop starts Tardigo so)."));
    const QCommandLineOption printToPdf(
        QStringLiteral("print-to-pdf"),
        QCoreApplication::translate(
            "CommandLine", "Print the one list named into the PDF file OUT without opening a window; OUT is "
                           "never a list."),
        QStringLiteral("OUT"));
    const QCommandLineOption force(
        QStringLiteral("force"),
        QCoreApplication::translate("CommandLine", "With --print-to-pdf: replace OUT when it exists."));
    const QCommandLineOption printCheckboxes(
        QStringLiteral("print-checkboxes"),
        QCoreApplication::translate("CommandLine", "With --print-to-pdf: print check boxes."));
    const QCommandLineOption printIcons(
        QStringLiteral("print-icons"),
        QCoreApplication::translate("CommandLine", "With --print-to-pdf: print icons."));
    const QCommandLineOption printNotes(
        QStringLiteral("print-notes"),
        QCoreApplication::translate("CommandLine", "With --print-to-pdf: print notes."));
    for (const QCommandLineOption* option : {&dark, &newItem, &fromSelection, &quickAdd, &searchProvider,
                                             &printToPdf, &force, &printCheckboxes, &printIcons, &printNotes})
        parser.addOption(*option);
    parser.addPositionalArgument(
        QStringLiteral("files"),
        QCoreApplication::translate("CommandLine",
                                    "The lists to open; with --print-to-pdf, the list to print."),
        QStringLiteral("[FILE...]"));
    // The desktop entry's "New Item" action passes the option without a text: a new item to name.
    QStringList given = arguments;
    if (!given.isEmpty() && given.last() == QLatin1String("--new-item"))
        given.last() = QStringLiteral("--new-item=");
    parser.process(given);
    CommandLine line;
    for (const QString& file : parser.positionalArguments())
        line.files.append(QFileInfo(file).absoluteFilePath());
    line.dark = parser.isSet(dark) || qEnvironmentVariableIntValue("TARDIGO_DARK") == 1;
    if (parser.isSet(newItem))
        line.newItem = parser.value(newItem);
    if (parser.isSet(printToPdf))
        line.printToPdf = parser.value(printToPdf);
    line.printOptions = {parser.isSet(printCheckboxes), parser.isSet(printIcons), parser.isSet(printNotes)};
    line.replacePdf = parser.isSet(force);
    line.newItemFromSelection = parser.isSet(fromSelection);
    line.quickAdd = parser.isSet(quickAdd);
    line.searchProvider = parser.isSet(searchProvider);
    return line;
}

bool asksForNoWindow(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument.startsWith("--print-to-pdf") || argument.startsWith("--help") || argument == "-h" ||
            argument == "-?" || argument == "--version" || argument == "-v")
            return true;
    }
    return false;
}

} // namespace tardigo
