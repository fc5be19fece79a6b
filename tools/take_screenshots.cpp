// take_screenshots LIST OUTDIR: opens the list in its real window on the offscreen platform and saves
// the pictures the software centre shows: list-window.png and list-with-notes.png.

#include "app/document_controller.h"
#include "document/icon_rules.h"
#include "document/tardigo_document.h"
#include "platform/user_defaults.h"
#include "window/document_main_window.h"
#include "window/icon_for_name.h"
#include "window/inspector_dock_widget.h"
#include "window/outline_tree_view.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTest>

#include <cstdio>

using namespace tardigo;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: take_screenshots LIST OUTDIR\n");
        return 2;
    }
    // The pictures show the application as it starts for a new user.
    QStandardPaths::setTestModeEnabled(true);
    UserDefaults::standard().useMemoryOnly();
    QApplication::setWindowIcon(iconForName(QStringLiteral("tardigo")));
    IconRules::setImageAvailability([](const QString& name) { return !iconForName(name).isNull(); });

    DocumentController controller;
    DocumentMainWindow* window = controller.openFile(QString::fromLocal8Bit(argv[1]));
    if (!window)
        return 1;
    const QDir out(QString::fromLocal8Bit(argv[2]));
    window->resize(980, 560);
    window->document().outlineCommands().expandAll();
    window->outline().selectRow(0, false);
    QTest::qWait(200);
    if (!window->grab().save(out.filePath(QStringLiteral("list-window.png"))))
        return 1;
    window->inspector().showToolWithId(InspectorToolNotes);
    window->resize(1180, 560);
    QTest::qWait(200);
    return window->grab().save(out.filePath(QStringLiteral("list-with-notes.png"))) ? 0 : 1;
}
