#include "window/document_menus.h"

#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/tree_operations.h"
#include "outline/inspector_tools.h"
#include "outline/outline_columns.h"
#include "outline/outline_filter.h"
#include "outline/outline_selection.h"
#include "outline/outline_settings.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QUndoStack>

namespace tardigo {

namespace {

/// The View menu's column switches, in the menu's order.
constexpr Column kOptionalColumnsInMenuOrder[] = {Column::Category, Column::Due, Column::Completion,
                                                  Column::Notes};

} // namespace

DocumentMenus::DocumentMenus(QMenuBar& menuBar, const UndoStack& undoStack, QObject* parent)
    : QObject(parent) {
    QMenu* file = menuBar.addMenu(tr("&File"));
    add(file, _actions.newDocument, "newDocument", tr("&New"))->setShortcut(QKeySequence::New);
    add(file, _actions.openDocument, "openDocument", tr("&Open…"))->setShortcut(QKeySequence::Open);
    _recentMenu = file->addMenu(tr("Open &Recent"));
    _recentMenu->setObjectName(QStringLiteral("recentMenu"));
    file->addSeparator();
    add(file, _actions.closeDocument, "closeDocument", tr("&Close"))->setShortcut(QKeySequence::Close);
    add(file, _actions.saveDocument, "saveDocument", tr("&Save"))->setShortcut(QKeySequence::Save);
    add(file, _actions.saveDocumentAs, "saveDocumentAs", tr("Save &As…"))->setShortcut(QKeySequence::SaveAs);
    add(file, _actions.revertDocument, "revertDocument", tr("Re&vert to Saved"));
    add(file, _actions.exportPropertyList, "exportPropertyList", tr("&Export as XML Property List…"));
    file->addSeparator();
    add(file, _actions.syncNow, "syncNow", tr("S&ync Now"));
    add(file, _actions.cancelSync, "cancelSync", tr("Cance&l Sync"));
    add(file, _actions.syncSettings, "syncSettings", tr("Sync Se&ttings…"));
    file->addSeparator();
    add(file, _actions.printPreview, "printPreview", tr("Print Previe&w…"));
    add(file, _actions.printDocument, "printDocument", tr("&Print…"))->setShortcut(QKeySequence::Print);
    file->addSeparator();
    add(file, _actions.quit, "quit", tr("&Quit"))->setShortcut(QKeySequence::Quit);

    QMenu* edit = menuBar.addMenu(tr("&Edit"));
    // Titled and enabled by the stack; the window undoes, once it has committed the cell being edited.
    const QUndoStack& stack = undoStack.qUndoStack();
    place(edit, _actions.undo, "undo", stack.createUndoAction(this, tr("Undo")))
        ->setShortcut(QKeySequence::Undo);
    disconnect(_actions.undo, &QAction::triggered, &stack, &QUndoStack::undo);
    place(edit, _actions.redo, "redo", stack.createRedoAction(this, tr("Redo")))
        ->setShortcuts(QKeySequence::Redo);
    disconnect(_actions.redo, &QAction::triggered, &stack, &QUndoStack::redo);
    // Our own titles over the stack's ("Rückgängig: <step>" in German, where Qt's own differ); this
    // runs after the stack has titled its actions.
    const auto retitle = [this, &stack] {
        const QString undoText = stack.undoText();
        const QString redoText = stack.redoText();
        _actions.undo->setText(undoText.isEmpty() ? tr("Undo") : tr("Undo %1").arg(undoText));
        _actions.redo->setText(redoText.isEmpty() ? tr("Redo") : tr("Redo %1").arg(redoText));
    };
    connect(&stack, &QUndoStack::undoTextChanged, this, retitle);
    connect(&stack, &QUndoStack::redoTextChanged, this, retitle);
    retitle();
    edit->addSeparator();
    // Items, with their subtrees, as a drag carries them.
    add(edit, _actions.cutItems, "cutItems", tr("Cu&t"))->setShortcuts(QKeySequence::Cut);
    add(edit, _actions.copyItems, "copyItems", tr("&Copy"))->setShortcuts(QKeySequence::Copy);
    add(edit, _actions.pasteItems, "pasteItems", tr("&Paste"))->setShortcuts(QKeySequence::Paste);
    add(edit, _actions.selectAll, "selectAll", tr("Select &All"))->setShortcuts(QKeySequence::SelectAll);
    edit->addSeparator();
    add(edit, _actions.find, "find", tr("&Find…"))->setShortcuts(QKeySequence::Find);
    add(edit, _actions.findNext, "findNext", tr("Find &Next"))->setShortcuts(QKeySequence::FindNext);
    add(edit, _actions.findPrevious, "findPrevious", tr("Find Pre&vious"))
        ->setShortcuts(QKeySequence::FindPrevious);
    edit->addSeparator();
    // The platform's Preferences key sequence is empty on Linux desktops.
    add(edit, _actions.preferences, "preferences", tr("Pr&eferences…"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));

    QMenu* view = menuBar.addMenu(tr("&View"));
    QMenu* columns = _columnsMenu = view->addMenu(tr("&Columns"));
    for (const Column column : kOptionalColumnsInMenuOrder) {
        QAction* toggle = make(columns, QStringLiteral("toggleColumn_%1").arg(columnIdentifier(column)),
                               columnTitle(column));
        toggle->setCheckable(true);
        _columnActions.insert(column, toggle);
        connect(toggle, &QAction::triggered, this, [this, column] { emit columnToggled(column); });
    }
    // Sorting by a column from the keyboard, as a header click does.
    QMenu* sortBy = _sortMenu = view->addMenu(tr("Sort &By"));
    for (const Column column : outlineColumns()) {
        QAction* sort = make(sortBy, QStringLiteral("sortBy_%1").arg(columnIdentifier(column)),
                             column == Column::Icon ? tr("Icon") : columnTitle(column));
        connect(sort, &QAction::triggered, this, [this, column] { emit sortRequested(column); });
    }
    view->addSeparator();
    add(view, _actions.expandAll, "expandAll", tr("&Expand All"));
    add(view, _actions.collapseAll, "collapseAll", tr("C&ollapse All"));
    view->addSeparator();
    QAction* hide =
        add(view, _actions.toggleHideCompletedItems, "toggleHideCompletedItems", tr("&Hide Completed Items"));
    hide->setCheckable(true);
    hide->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    add(view, _actions.endColumnSorting, "endColumnSorting", tr("End Column &Sorting"));
    view->addSeparator();
    QAction* inspector = add(view, _actions.toggleInspector, "toggleInspector", tr("&Inspector"));
    inspector->setCheckable(true);
    inspector->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    QMenu* tools = view->addMenu(tr("Inspector Too&ls"));
    int number = 0;
    for (const int tool : inspectorToolOrder()) {
        QAction* show = make(tools, QStringLiteral("showTool_%1").arg(tool), QString());
        show->setText(inspectorToolTitle(tool));
        show->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key(Qt::Key_1 + number++)));
        connect(show, &QAction::triggered, this, [this, tool] { emit toolRequested(tool); });
    }
    add(view, _actions.tearOffInspector, "tearOffInspector", tr("Tear Off Inspector"));
    add(view, _actions.resizeInspector, "resizeInspector", tr("Fit Inspector to Tool"));
    QAction* toolbar = add(view, _actions.toggleToolbar, "toggleToolbar", tr("Show &Toolbar"));
    toolbar->setCheckable(true);
    add(view, _actions.customizeToolbar, "customizeToolbar", tr("Customi&ze Toolbar…"));
    view->addSeparator();
    // Ctrl+Shift+A deselects in text fields, Ctrl+Shift+G finds backwards: L for the lists it spans.
    add(view, _actions.showAgenda, "showAgenda", tr("A&genda"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L));

    QMenu* item = _itemMenu = menuBar.addMenu(tr("&Item"));
    add(item, _actions.newItem, "newItem", tr("&New Item"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    add(item, _actions.newChildItem, "newChildItem", tr("New C&hild Item"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_N));
    add(item, _actions.deleteItem, "deleteItem", tr("&Delete"))->setShortcut(QKeySequence::Delete);
    add(item, _actions.renameItem, "renameItem", tr("&Rename"))->setShortcut(QKeySequence(Qt::Key_F2));
    add(item, _actions.doneItem, "doneItem", tr("D&one"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    item->addSeparator();
    // Brackets need AltGr on many keyboards: the arrows serve there.
    add(item, _actions.indentItems, "indentItems", tr("&Indent"))
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_BracketRight),
                        QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_Right)});
    add(item, _actions.outdentItems, "outdentItems", tr("Ou&tdent"))
        ->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::Key_BracketLeft), QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_Left)});
    add(item, _actions.moveItemsUp, "moveItemsUp", tr("Move &Up"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Up));
    add(item, _actions.moveItemsDown, "moveItemsDown", tr("Move Do&wn"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Down));
    item->addSeparator();
    add(item, _actions.makeSticky, "makeSticky", tr("Make &Sticky"));
    add(item, _actions.showStickies, "showStickies", tr("Show Stic&kies"));
    item->addSeparator();
    add(item, _actions.purgeCompletedItems, "purgeCompletedItems", tr("&Purge Completed Items…"));

    QMenu* help = menuBar.addMenu(tr("&Help"));
    add(help, _actions.showHelp, "showHelp", tr("Tardigo &Help"))->setShortcut(QKeySequence::HelpContents);
    add(help, _actions.sendFeedback, "sendFeedback", tr("Send &Feedback…"));
    help->addSeparator();
    add(help, _actions.about, "about", tr("&About Tardigo"));

    for (QMenu* menu : {file, edit, view, item, help})
        connect(menu, &QMenu::aboutToShow, this, &DocumentMenus::aboutToShowMenu);
}

QAction* DocumentMenus::make(QMenu* menu, const QString& name, const QString& title) {
    QAction* action = menu->addAction(title);
    action->setObjectName(name);
    return action;
}

QAction* DocumentMenus::add(QMenu* menu, QAction*& member, const char* name, const QString& title) {
    member = make(menu, QLatin1String(name), title);
    return member;
}

QAction* DocumentMenus::place(QMenu* menu, QAction*& member, const char* name, QAction* action) {
    action->setObjectName(QLatin1String(name));
    menu->addAction(action);
    member = action;
    return member;
}

void DocumentMenus::validate(const TardigoDocument& document) {
    const Dict& root = *document.data();
    const bool selected = document.selection().lastSelectedItem() != nullptr;
    for (QAction* command : {_actions.doneItem, _actions.deleteItem, _actions.renameItem, _actions.makeSticky,
                             _actions.indentItems, _actions.outdentItems, _actions.moveItemsUp,
                             _actions.moveItemsDown, _actions.cutItems, _actions.copyItems})
        command->setEnabled(selected);
    _actions.toggleHideCompletedItems->setChecked(hidesCompletedItems(root));
    for (auto toggle = _columnActions.cbegin(); toggle != _columnActions.cend(); ++toggle)
        toggle.value()->setChecked(document.outlineSettings().hasColumn(toggle.key()));
    _actions.endColumnSorting->setEnabled(root.contains(key::sortedColumn));
    const bool searching = !document.searchText().trimmed().isEmpty();
    _actions.findNext->setEnabled(searching);
    _actions.findPrevious->setEnabled(searching);
    _actions.revertDocument->setEnabled(!document.fileName().isEmpty() && document.isDocumentEdited());
    const bool panel = flagOf(root, key::panelInspector);
    _actions.tearOffInspector->setText(panel ? tr("Attach Inspector") : tr("Tear Off Inspector"));
    _actions.resizeInspector->setEnabled(panel);
}

void DocumentMenus::validatePurge(const TardigoDocument& document) {
    _actions.purgeCompletedItems->setEnabled(document.counts().complete > 0);
}

} // namespace tardigo
