#pragma once

#include "agenda/core/agenda_model.h"
#include "widgets/hinted_tree_view.h"

#include <QMainWindow>
#include <QTimer>

#include <functional>
#include <optional>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tardigo {

class AgendaDocuments;
class AgendaLists;
class QuickAddReading;

/// The agenda: one window over every list, its outstanding items in sections from overdue to later,
/// filtered by category and by a search. Done (Ctrl+D) and the due date typed into a row change the
/// item through its list's document; Return or a double click shows the item in its list's window.
/// A line on top adds an item as quick add does.
class AgendaWindow : public QMainWindow {
    Q_OBJECT
public:
    /// What the window asks of the application.
    struct Actions {
        /// Shows the item in its list's window, opening the list when it is closed.
        std::function<void(const AgendaEntry& entry)> showItem;
        /// Adds the item a quick-add line describes; why not, in words, when it could not.
        std::function<std::optional<QString>(const QString& line)> quickAdd;
    };

    AgendaWindow(AgendaLists& lists, AgendaDocuments& documents, Actions actions, QWidget* parent = nullptr);

    /// Shows the window in front, with the focus in its rows.
    void present();

    AgendaModel& model() { return _model; }
    HintedTreeView& view() const { return *_view; }
    QAction* doneAction() const { return _done; }
    QAction* selectAllAction() const { return _selectAll; }
    QAction* undoAction() const { return _undo; }

private:
    void buildMenus();
    QWidget* buildFilters();
    std::vector<AgendaEntry> selectedEntries() const;
    void markDone();
    void showSelectedItem();
    void selectAll();
    void quickAdd();
    void fillCategories();
    void rememberSelection();
    void restoreSelection();
    void showStatus(const QString& text);
    void sayWhyEmpty();

    AgendaLists& _lists;
    AgendaDocuments& _documents;
    Actions _actions;
    AgendaModel _model;
    HintedTreeView* _view;
    QLineEdit* _quickAdd;
    QuickAddReading* _quickAddReading;
    QComboBox* _category;
    QLineEdit* _search;
    QCheckBox* _undated;
    QAction* _done = nullptr;
    QAction* _showInList = nullptr;
    QAction* _selectAll = nullptr;
    QAction* _undo = nullptr;
    QTimer _minute;
    // The rows selected before a reset, found again after it.
    std::vector<AgendaModel::Place> _keptSelection;
    AgendaModel::Place _keptCurrent;
    bool _fillingCategories = false;
};

} // namespace tardigo
