#include "window/document_menus.h"

#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "inspector/core/inspector_tools.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/tree_operations.h"
#include "outline/outline_columns.h"
#include "outline/outline_filter.h"
#include "outline/outline_view.h"
#include "platform/localized.h"

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
    add(edit, QStringLiteral("redo"), tr("Redo"))->setShortcuts(QKeySequence::Redo);
    edit->addSeparator();
    // Items, with their subtrees, as a drag carries them.
    add(edit, QStringLiteral("cutItems"), tr("Cu&t"))->setShortcuts(QKeySequence::Cut);
    add(edit, QStringLiteral("copyItems"), tr("&Copy"))->setShortcuts(QKeySequence::Copy);
    add(edit, QStringLiteral("pasteItems"), tr("&Paste"))->setShortcuts(QKeySequence::Paste);
    edit->addSeparator();
    // The platform's Preferences key sequence is empty on Linux desktops.
    add(edit, QStringLiteral("preferences"), tr("&Preferences…"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));

    QMenu* view = menuBar.addMenu(tr("&View"));
    QMenu* columns = _columnsMenu = view->addMenu(tr("&Columns"));
    for (const QString& identifier : {key::category, key::due, key::completion, key::notes}) {
        const int tag = outlineColumnTag(identifier);
        QAction* column = add(columns, QStringLiteral("toggleColumn_%1").arg(identifier), QString());
        column->setText(outlineColumnTitle(identifier));
        column->setCheckable(true);
        _columnActions.insert(tag, column);
        connect(column, &QAction::triggered, this, [this, tag] { emit columnToggled(tag); });
    }
    // Sorting by a column from the keyboard, as a header click does.
    QMenu* sortBy = _sortMenu = view->addMenu(tr("Sort &By"));
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
    QAction* inspector = add(view, QStringLiteral("toggleInspector"), tr("&Inspector"));
    inspector->setCheckable(true);
    inspector->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    QMenu* tools = view->addMenu(tr("Inspector T&ools"));
    int number = 0;
    for (const int tool : inspectorToolOrder()) {
        QAction* show = add(tools, QStringLiteral("showTool_%1").arg(tool), QString());
        show->setText(inspectorToolTitle(tool));
        show->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key(Qt::Key_1 + number++)));
        connect(show, &QAction::triggered, this, [this, tool] { emit toolRequested(tool); });
    }
    add(view, QStringLiteral("tearOffInspector"), localized(QStringLiteral("Tear Off Inspector")));
    add(view, QStringLiteral("resizeInspector"), tr("Fit Inspector to Tool"));
    QAction* toolbar = add(view, QStringLiteral("toggleToolbar"), tr("Show &Toolbar"));
    toolbar->setCheckable(true);
    add(view, QStringLiteral("customizeToolbar"), tr("Customi&ze Toolbar…"));

    QMenu* item = _itemMenu = menuBar.addMenu(tr("&Item"));
    add(item, QStringLiteral("newItem"), tr("&New Item"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    add(item, QStringLiteral("newChildItem"), tr("New C&hild Item"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_N));
    add(item, QStringLiteral("deleteItem"), tr("&Delete"))->setShortcut(QKeySequence::Delete);
    add(item, QStringLiteral("renameItem"), tr("&Rename"))->setShortcut(QKeySequence(Qt::Key_F2));
    add(item, QStringLiteral("doneItem"), tr("D&one"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    item->addSeparator();
    // Brackets need AltGr on many keyboards: the arrows serve there.
    add(item, QStringLiteral("indentItems"), tr("&Indent"))
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_BracketRight),
                        QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_Right)});
    add(item, QStringLiteral("outdentItems"), tr("O&utdent"))
        ->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::Key_BracketLeft), QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_Left)});
    add(item, QStringLiteral("moveItemsUp"), tr("Move &Up"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Up));
    add(item, QStringLiteral("moveItemsDown"), tr("Move Do&wn"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Down));
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
    for (const char* command : {"doneItem", "deleteItem", "renameItem", "makeSticky", "indentItems",
                                "outdentItems", "moveItemsUp", "moveItemsDown", "cutItems", "copyItems"})
        _actions.value(QLatin1String(command))->setEnabled(selected);
    _actions.value(QStringLiteral("toggleHideCompletedItems"))->setChecked(hidesCompletedItems(root));
    for (const QString& identifier : {key::category, key::due, key::completion, key::notes})
        _columnActions.value(outlineColumnTag(identifier))->setChecked(outline.hasColumn(identifier));
    _actions.value(QStringLiteral("endColumnSorting"))->setEnabled(root.contains(key::sortedColumn));
    _actions.value(QStringLiteral("revertDocument"))
        ->setEnabled(!document.fileName().isEmpty() && document.isDocumentEdited());
    QAction* undo = _actions.value(QStringLiteral("undo"));
    undo->setText(document.undoManager().undoMenuItemTitle());
    undo->setEnabled(document.undoManager().canUndo());
    QAction* redo = _actions.value(QStringLiteral("redo"));
    redo->setText(document.undoManager().redoMenuItemTitle());
    redo->setEnabled(document.undoManager().canRedo());
    const bool panel = boolForKey(root, key::panelInspector);
    _actions.value(QStringLiteral("tearOffInspector"))
        ->setText(
            localized(panel ? QStringLiteral("Attach Inspector") : QStringLiteral("Tear Off Inspector")));
    _actions.value(QStringLiteral("resizeInspector"))->setEnabled(panel);
}

void DocumentMenus::validatePurge(const TardigoDocument& document) {
    _actions.value(QStringLiteral("purgeCompletedItems"))->setEnabled(document.counts().complete > 0);
}

} // namespace tardigo
