#include "app/application_main.h"

#include "app/command_line.h"
#include "app/dark_palette.h"
#include "app/document_controller.h"
#include "app/print_to_pdf.h"
#include "document/icon_rules.h"
#include "document/tardigo_document.h"
#include "window/document_main_window.h"
#include "window/icon_for_name.h"

#include <QApplication>
#include <QStyleFactory>

#include <cstdio>

namespace tardigo {

int runTardigo(int argc, char** argv) {
    // A printout for a script needs no display, and may be asked for where there is none.
    if (asksForPrintoutOnly(argc, argv) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tardigo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tardigo"));
    QApplication::setApplicationVersion(QStringLiteral(TARDIGO_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("tardigo"));
    QApplication::setWindowIcon(iconForName(QStringLiteral("tardigo")));
    IconRules::setImageAvailability([](const QString& name) { return !iconForName(name).isNull(); });

    const CommandLine line = parseCommandLine(QApplication::arguments());
    if (line.printToPdf) {
        if (line.files.size() != 1) {
            std::fprintf(stderr, "tardigo: --print-to-pdf prints exactly one list: name one.\n");
            return 2;
        }
        return printListToPdf(line.files.front(), *line.printToPdf, line.printOptions);
    }
    if (line.dark) {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(darkPalette());
    }

    DocumentController controller;
    for (const QString& file : line.files)
        controller.openFile(file);
    if (controller.windows().empty())
        controller.newUntitledDocument();
    if (line.newItem) {
        TardigoDocument& front = controller.windows().back()->document();
        if (line.newItem->isEmpty())
            front.itemCommands().newItem();
        else
            front.itemCommands().newItemWithName(*line.newItem);
    }
    return QApplication::exec();
}

} // namespace tardigo
