#include "app/command_line.h"

#include "platform/localized.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace tardigo {

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(localized(QStringLiteral("To-do lists as outlines.")));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption dark(QStringLiteral("dark"),
                                  localized(QStringLiteral("Use the dark palette (also TARDIGO_DARK=1).")));
    const QCommandLineOption newItem(QStringLiteral("new-item"),
                                     localized(QStringLiteral("Add an item named TEXT to the first list.")),
                                     QStringLiteral("TEXT"));
    const QCommandLineOption fromSelection(
        QStringLiteral("new-item-from-selection"),
        localized(
            QStringLiteral("Add an item named after the text selected on the desktop (else the clipboard's) "
                           "to the first list.")));
    parser.addOption(dark);
    parser.addOption(newItem);
    parser.addOption(fromSelection);
    parser.addPositionalArgument(QStringLiteral("files"), localized(QStringLiteral("The lists to open.")),
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
    line.newItemFromSelection = parser.isSet(fromSelection);
    return line;
}

} // namespace tardigo
