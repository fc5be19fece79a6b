#include "app/application_main.h"

#include "app/command_line.h"
#include "app/dark_palette.h"
#include "app/document_controller.h"
#include "document/icon_rules.h"
#include "document/tardigo_document.h"
#include "window/document_main_window.h"
#include "window/icon_for_name.h"

#include <QApplication>
#include <QStyleFactory>

namespace tardigo {

int runTardigo(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tardigo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tardigo"));
    QApplication::setApplicationVersion(QStringLiteral(TARDIGO_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("tardigo"));
    QApplication::setWindowIcon(iconForName(QStringLiteral("tardigo")));
    IconRules::setImageAvailability([](const QString& name) { return !iconForName(name).isNull(); });

    const CommandLine line = parseCommandLine(QApplication::arguments());
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
