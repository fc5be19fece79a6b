#include "window/document_menus.h"

#include "document/outline_columns.h"
#include "document/outline_filter.h"
#include "document/outline_view.h"
#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "model/keys.h"
#include "model/tree_operations.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace tardigo {

DocumentMenus::DocumentMenus(QMenuBar& menuBar, QObject* parent) : QObject(parent) {
    QMenu* file = menuBar.addMenu(tr("&File"));
    add(file, QStringLiteral("newDocument"), tr("&New"))->setShortcut(QKeySequence::New);
    add(file, QStringLiteral("openDocument"), tr("&Open…"))->setShortcut(QKeySequence::Open);
    _recentMenu = file->addMenu(tr("Open &Recent"));
    _recentMenu->setObjectName(QStringLiteral("recentMenu"));
    file->addSeparator();
    add(file, QStringLiteral("closeDocument"), tr("&Close"))->setShortcut(QKeySequence::Close);
    add(file, QStringLiteral("saveDocument"), tr("&Save"))->setShortcut(QKeySequence::Save);
    add(file, QStringLiteral("saveDocumentAs"), tr("Save &As…"))->setShortcut(QKeySequence::SaveAs);
    add(file, QStringLiteral("revertDocument"), tr("Re&vert to Saved"));
    add(file, QStringLiteral("exportPropertyList"), tr("&Export as XML Property List…"));
    file->addSeparator();
    add(file, QStringLiteral("syncNow"), tr("S&ync Now"));
    add(file, QStringLiteral("syncSettings"), tr("Sync Se&ttings…"));
    file->addSeparator();
    add(file, QStringLiteral("printPreview"), tr("Print Pre&view…"));
    add(file, QStringLiteral("printDocument"), tr("&Print…"))->setShortcut(QKeySequence::Print);
    file->addSeparator();
    add(file, QStringLiteral("quit"), tr("&Quit"))->setShortcut(QKeySequence::Quit);

    QMenu* edit = menuBar.addMenu(tr("&Edit"));
    add(edit, QStringLiteral("undo"), tr("Undo"))->setShortcut(QKeySequence::Undo);
    edit->addSeparator();
    // The platform's Preferences key sequence is empty on Linux desktops.
    add(edit, QStringLiteral("preferences"), tr("&Preferences…"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));

    QMenu* view = menuBar.addMenu(tr("&View"));
    QMenu* columns = view->addMenu(tr("&Columns"));
    for (const QString& identifier : {key::category, key::due, key::completion, key::notes}) {
        const int tag = outlineColumnTag(identifier);
        QAction* column = add(columns, QStringLiteral("toggleColumn_%1").arg(identifier), QString());
        column->setText(outlineColumnTitle(identifier));
        column->setCheckable(true);
        _columnActions.insert(tag, column);
        connect(column, &QAction::triggered, this, [this, tag] { emit columnToggled(tag); });
    }
    // Sorting by a column from the keyboard, as a header click does.
    QMenu* sortBy = view->addMenu(tr("Sort &By"));
    for (const QString& identifier : outlineColumnIdentifiers()) {
        QAction* sort = add(sortBy, QStringLiteral("sortBy_%1").arg(identifier), QString());
        sort->setText(identifier == key::icon ? tr("Icon") : outlineColumnTitle(identifier));
        connect(sort, &QAction::triggered, this, [this, identifier] { emit sortRequested(identifier); });
    }
    view->addSeparator();
    add(view, QStringLiteral("expandAll"), tr("&Expand All"));
    add(view, QStringLiteral("collapseAll"), tr("C&ollapse All"));
    view->addSeparator();
    QAction* hide = add(view, QStringLiteral("toggleHideCompletedItems"), tr("&Hide Completed Items"));
    hide->setCheckable(true);
    hide->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    add(view, QStringLiteral("endColumnSorting"), tr("End Column &Sorting"));
    view->addSeparator();
    QAction* notes = add(view, QStringLiteral("toggleNotes"), tr("Show &Notes"));
    notes->setCheckable(true);
    notes->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    QAction* toolbar = add(view, QStringLiteral("toggleToolbar"), tr("Show &Toolbar"));
    toolbar->setCheckable(true);
    add(view, QStringLiteral("customizeToolbar"), tr("Customi&ze Toolbar…"));

    QMenu* item = menuBar.addMenu(tr("&Item"));
    add(item, QStringLiteral("newItem"), tr("&New Item"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    add(item, QStringLiteral("deleteItem"), tr("&Delete"))->setShortcut(QKeySequence::Delete);
    add(item, QStringLiteral("renameItem"), tr("&Rename"))->setShortcut(QKeySequence(Qt::Key_F2));
    add(item, QStringLiteral("doneItem"), tr("D&one"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    item->addSeparator();
    add(item, QStringLiteral("makeSticky"), tr("Make &Sticky"));
    add(item, QStringLiteral("showStickies"), tr("Show Stic&kies"));
    item->addSeparator();
    add(item, QStringLiteral("purgeCompletedItems"), tr("&Purge Completed Items…"));

    QMenu* help = menuBar.addMenu(tr("&Help"));
    add(help, QStringLiteral("showHelp"), tr("Tardigo &Help"))->setShortcut(QKeySequence::HelpContents);
    add(help, QStringLiteral("sendFeedback"), tr("Send &Feedback…"));
    help->addSeparator();
    add(help, QStringLiteral("about"), tr("&About Tardigo"));

    for (QMenu* menu : {file, edit, view, item, help})
        connect(menu, &QMenu::aboutToShow, this, &DocumentMenus::aboutToShowMenu);
}

QAction* DocumentMenus::add(QMenu* menu, const QString& command, const QString& title) {
    QAction* action = menu->addAction(title);
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
    _actions.value(QStringLiteral("purgeCompletedItems"))->setEnabled(document.counts().complete > 0);
}

} // namespace tardigo
