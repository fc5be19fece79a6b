#pragma once

#include <QHash>
#include <QObject>
#include <QStringList>

class QAction;
class QMenu;
class QMenuBar;

namespace tardigo {

class OutlineView;
class TardigoDocument;

/// The menu bar of a document window: File, Edit, View, Item and Help, with their shortcuts. Each
/// action is named after its command ("newItem", "doneItem" ...) so that anyone can find it.
class DocumentMenus : public QObject {
    Q_OBJECT
public:
    DocumentMenus(QMenuBar& menuBar, QObject* parent);

    /// The action of a command; null for an unknown one.
    QAction* action(const QString& command) const { return _actions.value(command); }
    /// The four optional column switches, by View menu tag (2 to 5).
    QAction* columnAction(int tag) const { return _columnActions.value(tag); }
    QMenu* recentMenu() const { return _recentMenu; }
    /// The Item menu, also the context menu of rows; the columns and sort menus, that of the header.
    QMenu* itemMenu() const { return _itemMenu; }
    QMenu* columnsMenu() const { return _columnsMenu; }
    QMenu* sortMenu() const { return _sortMenu; }
    /// The action that shows an inspector tool.

    /// Enables the commands and sets the check marks as the list and its outline are now.
    void validate(const TardigoDocument& document, const OutlineView& outline);
    /// The checks that walk the whole list, run only when the Item menu opens.
    void validatePurge(const TardigoDocument& document);

signals:
    void columnToggled(int tag);
    void toolRequested(int tool);
    void sortRequested(const QString& identifier);
    /// A menu is about to open: its items must show the present state.
    void aboutToShowMenu();

private:
    QAction* add(QMenu* menu, const QString& command, const QString& title);

    QHash<QString, QAction*> _actions;
    QHash<int, QAction*> _columnActions;
    QMenu* _recentMenu = nullptr;
    QMenu* _itemMenu = nullptr;
    QMenu* _columnsMenu = nullptr;
    QMenu* _sortMenu = nullptr;
};

} // namespace tardigo
