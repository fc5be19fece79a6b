#pragma once

#include "outline/outline_columns.h"

#include <QHash>
#include <QObject>
#include <QStringList>

class QAction;
class QMenu;
class QMenuBar;

namespace tardigo {

class TardigoDocument;
class UndoStack;

/// The commands of a document window's menus, one member each, so that a mistyped command does not
/// compile. Each action's object name is its member's name.
struct MenuActions {
    QAction* newDocument = nullptr;
    QAction* openDocument = nullptr;
    QAction* closeDocument = nullptr;
    QAction* saveDocument = nullptr;
    QAction* saveDocumentAs = nullptr;
    QAction* revertDocument = nullptr;
    QAction* exportPropertyList = nullptr;
    QAction* syncNow = nullptr;
    QAction* cancelSync = nullptr;
    QAction* syncSettings = nullptr;
    QAction* printPreview = nullptr;
    QAction* printDocument = nullptr;
    QAction* quit = nullptr;
    QAction* undo = nullptr;
    QAction* redo = nullptr;
    QAction* cutItems = nullptr;
    QAction* copyItems = nullptr;
    QAction* pasteItems = nullptr;
    QAction* selectAll = nullptr;
    QAction* find = nullptr;
    QAction* findNext = nullptr;
    QAction* findPrevious = nullptr;
    QAction* preferences = nullptr;
    QAction* expandAll = nullptr;
    QAction* collapseAll = nullptr;
    QAction* toggleHideCompletedItems = nullptr;
    QAction* endColumnSorting = nullptr;
    QAction* toggleInspector = nullptr;
    QAction* tearOffInspector = nullptr;
    QAction* resizeInspector = nullptr;
    QAction* toggleToolbar = nullptr;
    QAction* customizeToolbar = nullptr;
    QAction* showAgenda = nullptr;
    QAction* newItem = nullptr;
    QAction* newChildItem = nullptr;
    QAction* deleteItem = nullptr;
    QAction* renameItem = nullptr;
    QAction* doneItem = nullptr;
    QAction* indentItems = nullptr;
    QAction* outdentItems = nullptr;
    QAction* moveItemsUp = nullptr;
    QAction* moveItemsDown = nullptr;
    QAction* makeSticky = nullptr;
    QAction* showStickies = nullptr;
    QAction* purgeCompletedItems = nullptr;
    QAction* showHelp = nullptr;
    QAction* sendFeedback = nullptr;
    QAction* about = nullptr;
};

/// The menu bar of a document window: File, Edit, View, Item and Help, with their shortcuts.
class DocumentMenus : public QObject {
    Q_OBJECT
public:
    DocumentMenus(QMenuBar& menuBar, const UndoStack& undoStack, QObject* parent);

    const MenuActions& actions() const { return _actions; }
    /// The switch of an optional column; none for the icon and name columns.
    QAction* columnAction(Column column) const { return _columnActions.value(column); }
    QMenu* recentMenu() const { return _recentMenu; }
    /// The Item menu, also the context menu of rows; the columns and sort menus, that of the header.
    QMenu* itemMenu() const { return _itemMenu; }
    QMenu* columnsMenu() const { return _columnsMenu; }
    QMenu* sortMenu() const { return _sortMenu; }

    /// Enables the commands and sets the check marks as the list and its outline are now.
    void validate(const TardigoDocument& document);
    /// The checks that walk the whole list, run only when the Item menu opens.
    void validatePurge(const TardigoDocument& document);

signals:
    void columnToggled(tardigo::Column column);
    void toolRequested(int tool);
    void sortRequested(tardigo::Column column);
    /// A menu is about to open: its items must show the present state.
    void aboutToShowMenu();

private:
    static QAction* make(QMenu* menu, const QString& name, const QString& title);
    static QAction* add(QMenu* menu, QAction*& member, const char* name, const QString& title);
    /// Puts an action made elsewhere in the menu, under the name the window looks it up by.
    static QAction* place(QMenu* menu, QAction*& member, const char* name, QAction* action);

    MenuActions _actions;
    QHash<Column, QAction*> _columnActions;
    QMenu* _recentMenu = nullptr;
    QMenu* _itemMenu = nullptr;
    QMenu* _columnsMenu = nullptr;
    QMenu* _sortMenu = nullptr;
};

} // namespace tardigo
