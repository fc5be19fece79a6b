#include "window/document_menus.h"

#include "document/outline_columns.h"
#include "document/outline_filter.h"
#include "document/outline_view.h"
#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "model/keys.h"
#include "model/tree_operations.h"
#include "platform/localized.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace tardigo {

DocumentMenus::DocumentMenus(QMenuBar& menuBar, QObject* parent) : QObject(parent) {
    QMenu* file = menuBar.addMenu(localized(QStringLiteral("&File")));
    add(file, QStringLiteral("newDocument"), QStringLiteral("&New"))->setShortcut(QKeySequence::New);
    add(file, QStringLiteral("openDocument"), QStringLiteral("&Open…"))->setShortcut(QKeySequence::Open);
    _recentMenu = file->addMenu(localized(QStringLiteral("Open &Recent")));
    _recentMenu->setObjectName(QStringLiteral("recentMenu"));
    file->addSeparator();
    add(file, QStringLiteral("closeDocument"), QStringLiteral("&Close"))->setShortcut(QKeySequence::Close);
    add(file, QStringLiteral("saveDocument"), QStringLiteral("&Save"))->setShortcut(QKeySequence::Save);
    add(file, QStringLiteral("saveDocumentAs"), QStringLiteral("Save &As…"))
        ->setShortcut(QKeySequence::SaveAs);
    add(file, QStringLiteral("revertDocument"), QStringLiteral("Re&vert to Saved"));
    add(file, QStringLiteral("exportPropertyList"), QStringLiteral("&Export as XML Property List…"));
    file->addSeparator();
    add(file, QStringLiteral("syncNow"), QString())->setText(tr("S&ync Now"));
    add(file, QStringLiteral("syncSettings"), QString())->setText(tr("Sync Se&ttings…"));
    file->addSeparator();
    add(file, QStringLiteral("printPreview"), QStringLiteral("Print Pre&view…"));
    add(file, QStringLiteral("printDocument"), QStringLiteral("&Print…"))->setShortcut(QKeySequence::Print);
    file->addSeparator();
    add(file, QStringLiteral("quit"), QStringLiteral("&Quit"))->setShortcut(QKeySequence::Quit);

    QMenu* edit = menuBar.addMenu(localized(QStringLiteral("&Edit")));
    add(edit, QStringLiteral("undo"), QStringLiteral("Undo"))->setShortcut(QKeySequence::Undo);
    edit->addSeparator();
    // The platform's Preferences key sequence is empty on Linux desktops.
    add(edit, QStringLiteral("preferences"), QStringLiteral("&Preferences…"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));

    QMenu* view = menuBar.addMenu(localized(QStringLiteral("&View")));
    QMenu* columns = view->addMenu(localized(QStringLiteral("&Columns")));
    for (const QString& identifier : {key::category, key::due, key::completion, key::notes}) {
        const int tag = outlineColumnTag(identifier);
        QAction* column = add(columns, QStringLiteral("toggleColumn_%1").arg(identifier), QString());
        column->setText(outlineColumnTitle(identifier));
        column->setCheckable(true);
        _columnActions.insert(tag, column);
        connect(column, &QAction::triggered, this, [this, tag] { emit columnToggled(tag); });
    }
    // Sorting by a column from the keyboard, as a header click does.
    QMenu* sortBy = view->addMenu(localized(QStringLiteral("Sort &By")));
    for (const QString& identifier : outlineColumnIdentifiers()) {
        QAction* sort = add(sortBy, QStringLiteral("sortBy_%1").arg(identifier), QString());
        sort->setText(identifier == key::icon ? localized(QStringLiteral("Icon"))
                                              : outlineColumnTitle(identifier));
        connect(sort, &QAction::triggered, this, [this, identifier] { emit sortRequested(identifier); });
    }
    view->addSeparator();
    add(view, QStringLiteral("expandAll"), QStringLiteral("&Expand All"));
    add(view, QStringLiteral("collapseAll"), QStringLiteral("C&ollapse All"));
    view->addSeparator();
    QAction* hide =
        add(view, QStringLiteral("toggleHideCompletedItems"), QStringLiteral("&Hide Completed Items"));
    hide->setCheckable(true);
    hide->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    add(view, QStringLiteral("endColumnSorting"), QStringLiteral("End Column &Sorting"));
    view->addSeparator();
    QAction* notes = add(view, QStringLiteral("toggleNotes"), QStringLiteral("Show &Notes"));
    notes->setCheckable(true);
    notes->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    QAction* toolbar = add(view, QStringLiteral("toggleToolbar"), QStringLiteral("Show &Toolbar"));
    toolbar->setCheckable(true);
    add(view, QStringLiteral("customizeToolbar"), QStringLiteral("Customi&ze Toolbar…"));

    QMenu* item = menuBar.addMenu(localized(QStringLiteral("&Item")));
    add(item, QStringLiteral("newItem"), QStringLiteral("&New Item"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    add(item, QStringLiteral("deleteItem"), QStringLiteral("&Delete"))->setShortcut(QKeySequence::Delete);
    add(item, QStringLiteral("renameItem"), QStringLiteral("&Rename"))->setShortcut(QKeySequence(Qt::Key_F2));
    add(item, QStringLiteral("doneItem"), QStringLiteral("D&one"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    item->addSeparator();
    add(item, QStringLiteral("makeSticky"), QStringLiteral("Make &Sticky"));
    add(item, QStringLiteral("showStickies"), QStringLiteral("Show Stic&kies"));
    item->addSeparator();
    add(item, QStringLiteral("purgeCompletedItems"), QStringLiteral("&Purge Completed Items…"));

    QMenu* help = menuBar.addMenu(localized(QStringLiteral("&Help")));
    add(help, QStringLiteral("showHelp"), QStringLiteral("Tardigo &Help"))
        ->setShortcut(QKeySequence::HelpContents);
    add(help, QStringLiteral("sendFeedback"), QStringLiteral("Send &Feedback…"));
    help->addSeparator();
    add(help, QStringLiteral("about"), QStringLiteral("&About Tardigo"));

    for (QMenu* menu : {file, edit, view, item, help})
        connect(menu, &QMenu::aboutToShow, this, &DocumentMenus::aboutToShowMenu);
}

QAction* DocumentMenus::add(QMenu* menu, const QString& command, const QString& title) {
    QAction* action = menu->addAction(localized(title));
    action->setObjectName(command);
    _actions.insert(command, action);
    return action;
}

void DocumentMenus::validate(const TardigoDocument& document, const OutlineView& outline) {
    const Dict& root = *document.data();
    const bool selected = outline.lastSelectedItem() != nullptr;
    for (const char* command : {"doneItem", "deleteItem", "renameItem", "makeSticky"})
        _actions.value(QLatin1String(command))->setEnabled(selected);
    _actions.value(QStringLiteral("toggleHideCompletedItems"))->setChecked(hidesCompletedItems(root));
    for (const QString& identifier : {key::category, key::due, key::completion, key::notes})
        _columnActions.value(outlineColumnTag(identifier))
            ->setChecked(outline.containsTableColumn(identifier));
    _actions.value(QStringLiteral("endColumnSorting"))->setEnabled(root.contains(key::sortedColumn));
    _actions.value(QStringLiteral("revertDocument"))
        ->setEnabled(!document.fileName().isEmpty() && document.isDocumentEdited());
    QAction* undo = _actions.value(QStringLiteral("undo"));
    undo->setText(document.undoManager().undoMenuItemTitle());
    undo->setEnabled(document.undoManager().canUndo());
}

void DocumentMenus::validatePurge(const TardigoDocument& document) {
    _actions.value(QStringLiteral("purgeCompletedItems"))
        ->setEnabled(document.counts().complete > 0);
}

} // namespace tardigo
