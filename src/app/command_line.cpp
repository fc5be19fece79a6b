#include "app/command_line.h"

#include "platform/localized.h"

#include <QCommandLineParser>

namespace tardigo {

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(localized(QStringLiteral("To-do lists as outlines.")));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption dark(QStringLiteral("dark"),
                                  localized(QStringLiteral("Use the dark palette (also TARDIGO_DARK=1).")));
    const QCommandLineOption newItem(QStringLiteral("new-item"),
                                     localized(QStringLiteral("Add an item named TEXT to the front list.")),
                                     QStringLiteral("TEXT"));
    parser.addOption(dark);
    parser.addOption(newItem);
    parser.addPositionalArgument(QStringLiteral("files"), localized(QStringLiteral("The lists to open.")),
                                 QStringLiteral("[FILE...]"));
    // The desktop entry's "New Item" action passes the option without a text: a new item to name.
    QStringList given = arguments;
    if (!given.isEmpty() && given.last() == QLatin1String("--new-item"))
        given.last() = QStringLiteral("--new-item=");
    parser.process(given);
    CommandLine line;
    line.files = parser.positionalArguments();
    line.dark = parser.isSet(dark) || qEnvironmentVariableIntValue("TARDIGO_DARK") == 1;
    if (parser.isSet(newItem))
        line.newItem = parser.value(newItem);
    return line;
}

} // namespace tardigo
