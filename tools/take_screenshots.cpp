// take_screenshots [--dark] LIST OUTDIR: opens the list in its real window on the offscreen platform
// and saves the pictures the software centre and the README show: list-window.png, list-search.png and
// list-with-notes.png, with "-dark" in the dark palette and "@2x" when QT_SCALE_FACTOR=2 is set.

#include "appearance/dark_palette.h"
#include "appearance/icon_for_name.h"
#include "desktop_app/document_controller.h"
#include "document/tardigo_document.h"
#include "outline/icon_rules.h"
#include "outline/outline_item_model.h"
#include "outline/outline_selection.h"
#include "platform/settings.h"
#include "window/document_main_window.h"
#include "window/inspector_dock_widget.h"
#include "window/outline_tree_view.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTest>

#include <cstdio>

using namespace tardigo;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QStringList arguments = QApplication::arguments().mid(1);
    const bool dark = arguments.removeAll(QStringLiteral("--dark")) > 0;
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: take_screenshots [--dark] LIST OUTDIR\n");
        return 2;
    }
    // The pictures show the application as it starts for a new user.
    QStandardPaths::setTestModeEnabled(true);
    Settings::instance().useMemoryOnly();
    QApplication::setWindowIcon(iconForName(QStringLiteral("tardigo")));
    IconRules::setImageAvailability([](const QString& name) { return !iconForName(name).isNull(); });
    if (dark)
        useDarkPalette(true);

    DocumentController controller;
    DocumentMainWindow* window = controller.openFile(arguments.at(0));
    if (!window)
        return 1;
    const QDir out(arguments.at(1));
    const QString suffix = QString(dark ? QStringLiteral("-dark") : QString()) +
                           (window->devicePixelRatioF() > 1.0 ? QStringLiteral("@2x") : QString());
    const auto save = [&](const QString& name) {
        QTest::qWait(200);
        return window->grab().save(out.filePath(name + suffix + QStringLiteral(".png")));
    };
    OutlineTreeView& outline = window->outline();
    const auto selectFirstRow = [&outline] {
        outline.selection().selectItems({outline.outlineModel().itemForIndex(outline.model()->index(0, 0))});
    };
    window->resize(980, 560);
    outline.expandItem(nullptr, true);
    selectFirstRow();
    if (!save(QStringLiteral("list-window")))
        return 1;
    auto* search = window->findChild<QLineEdit*>(QStringLiteral("searchField"));
    search->setText(QStringLiteral("the"));
    selectFirstRow();
    if (!save(QStringLiteral("list-search")))
        return 1;
    search->clear();
    window->inspector().showToolWithId(InspectorToolNotes);
    window->resize(1180, 560);
    return save(QStringLiteral("list-with-notes")) ? 0 : 1;
}
