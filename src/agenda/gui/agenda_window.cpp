#include "agenda/gui/agenda_window.h"

#include "agenda/core/agenda_lists.h"
#include "agenda/gui/agenda_documents.h"
#include "agenda/gui/agenda_empty_hint.h"
#include "dialogs/quick_add_reading.h"
#include "model/clock.h"
#include "platform/settings.h"
#include "widgets/clear_button.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include <unordered_set>

namespace tardigo {

namespace {

constexpr int kMinuteMsecs = 60 * 1000;
constexpr int kStatusMsecs = 8000;

} // namespace

AgendaWindow::AgendaWindow(AgendaLists& lists, AgendaDocuments& documents, Actions actions, QWidget* parent)
    : QMainWindow(parent), _lists(lists), _documents(documents), _actions(std::move(actions)), _model(lists),
      _view(new HintedTreeView(this)), _quickAdd(new QLineEdit(this)),
      _quickAddReading(new QuickAddReading(
          tr("Type an item with a #category and a due date at its end; Return adds it."), this)),
      _category(new QComboBox(this)), _search(new QLineEdit(this)),
      _undated(new QCheckBox(tr("Show items &without a due date"), this)) {
    setObjectName(QStringLiteral("agendaWindow"));
    setWindowTitle(tr("Agenda"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    _model.setShowsUndated(Settings::instance().agendaShowsUndated());
    _model.setDueDateEditor([this](const AgendaEntry& entry, const QString& typed) {
        return _documents.setDueDate(entry, typed, this);
    });
    connect(&_model, &AgendaModel::dueDateRefused, this, &AgendaWindow::showStatus);

    _view->setObjectName(QStringLiteral("agendaView"));
    _view->setAccessibleName(tr("Items by due date"));
    _view->setModel(&_model);
    // After the view's own handling of a reset, which closes every section.
    connect(&_model, &QAbstractItemModel::modelAboutToBeReset, this, &AgendaWindow::rememberSelection);
    connect(&_model, &QAbstractItemModel::modelReset, this, &AgendaWindow::restoreSelection);
    connect(&_model, &QAbstractItemModel::modelReset, this, &AgendaWindow::fillCategories);
    connect(&_model, &QAbstractItemModel::modelReset, this, &AgendaWindow::sayWhyEmpty);
    _view->setUniformRowHeights(true);
    _view->setAllColumnsShowFocus(true);
    _view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    _view->setSelectionBehavior(QAbstractItemView::SelectRows);
    // A double click shows the item in its list; the due date is typed after F2 or a click on it.
    _view->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    _view->header()->setStretchLastSection(false);
    _view->header()->setSectionResizeMode(AgendaModel::NameColumn, QHeaderView::Stretch);
    const int charWidth = _view->fontMetrics().averageCharWidth();
    _view->setColumnWidth(AgendaModel::ListColumn, charWidth * 20);
    _view->setColumnWidth(AgendaModel::CategoryColumn, charWidth * 14);
    _view->setColumnWidth(AgendaModel::DueColumn, charWidth * 22);
    _view->expandAll();
    connect(_view, &QTreeView::activated, this, &AgendaWindow::showSelectedItem);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(buildFilters());
    layout->addWidget(_view, 1);
    setCentralWidget(central);
    statusBar()->setObjectName(QStringLiteral("agendaStatus"));
    buildMenus();
    fillCategories();
    sayWhyEmpty();
    resize(charWidth * 120, _view->fontMetrics().height() * 32);

    // Items fall due and days begin while the window is open.
    _minute.setInterval(kMinuteMsecs);
    connect(&_minute, &QTimer::timeout, this, [this] { _model.setNow(Clock::now()); });
    _minute.start();
}

QWidget* AgendaWindow::buildFilters() {
    auto* filters = new QWidget(this);
    auto* form = new QFormLayout(filters);
    form->setContentsMargins(0, 0, 0, 0);

    _quickAdd->setObjectName(QStringLiteral("agendaQuickAdd"));
    _quickAdd->setPlaceholderText(tr("Call Anna tomorrow 10:00 #work"));
    _quickAddReading->setObjectName(QStringLiteral("agendaQuickAddReading"));
    _quickAddReading->setAccessibleName(tr("How the new item is read"));
    _quickAddReading->follow(*_quickAdd);
    auto* addLabel = new QLabel(tr("&New item:"), filters);
    addLabel->setBuddy(_quickAdd);
    form->addRow(addLabel, _quickAdd);
    form->addRow(QString(), _quickAddReading);
    connect(_quickAdd, &QLineEdit::returnPressed, this, &AgendaWindow::quickAdd);

    auto* row = new QHBoxLayout;
    _category->setObjectName(QStringLiteral("agendaCategory"));
    _category->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto* categoryLabel = new QLabel(tr("&Category:"), filters);
    categoryLabel->setBuddy(_category);
    _search->setObjectName(QStringLiteral("agendaSearch"));
    showClearButton(*_search);
    _search->setPlaceholderText(tr("Name, category or notes"));
    auto* searchLabel = new QLabel(tr("&Search:"), filters);
    searchLabel->setBuddy(_search);
    _undated->setObjectName(QStringLiteral("agendaShowsUndated"));
    _undated->setChecked(_model.showsUndated());
    row->addWidget(categoryLabel);
    row->addWidget(_category);
    row->addSpacing(_category->fontMetrics().averageCharWidth() * 2);
    row->addWidget(searchLabel);
    row->addWidget(_search, 1);
    row->addWidget(_undated);
    form->addRow(row);

    connect(_category, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!_fillingCategories)
            _model.setCategory(index <= 0 ? QString() : _category->itemText(index));
    });
    connect(_search, &QLineEdit::textChanged, &_model, &AgendaModel::setSearch);
    // Escape empties the search and goes back to the items, as in a list's window.
    auto* clearSearch = new QAction(_search);
    clearSearch->setShortcut(Qt::Key_Escape);
    clearSearch->setShortcutContext(Qt::WidgetShortcut);
    connect(clearSearch, &QAction::triggered, this, [this] {
        _search->clear();
        _view->setFocus();
    });
    _search->addAction(clearSearch);
    connect(_undated, &QCheckBox::toggled, this, [this](bool shows) {
        Settings::instance().setAgendaShowsUndated(shows);
        _model.setShowsUndated(shows);
    });
    return filters;
}

void AgendaWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    QAction* close = file->addAction(tr("&Close"), this, &QWidget::close);
    close->setObjectName(QStringLiteral("closeAgenda"));
    close->setShortcut(QKeySequence::Close);

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    // The agenda's own changes, newest first, in the lists' windows and in lists without one.
    _undo = edit->addAction(tr("&Undo"), this, [this] {
        if (const std::optional<QString> why = _documents.undo(this))
            showStatus(*why);
    });
    _undo->setObjectName(QStringLiteral("undoAgendaChange"));
    _undo->setShortcuts(QKeySequence::Undo);
    _undo->setEnabled(_documents.canUndo());
    connect(&_documents, &AgendaDocuments::undoChanged, _undo,
            [this] { _undo->setEnabled(_documents.canUndo()); });
    edit->addSeparator();
    _selectAll = edit->addAction(tr("Select &All"), this, &AgendaWindow::selectAll);
    _selectAll->setObjectName(QStringLiteral("selectAll"));
    _selectAll->setShortcuts(QKeySequence::SelectAll);

    QMenu* item = menuBar()->addMenu(tr("&Item"));
    _done = item->addAction(tr("D&one"), this, &AgendaWindow::markDone);
    _done->setObjectName(QStringLiteral("doneItem"));
    _done->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    _showInList = item->addAction(tr("&Show in List"), this, &AgendaWindow::showSelectedItem);
    _showInList->setObjectName(QStringLiteral("showInList"));
    QAction* due = item->addAction(tr("Change &Due Date"), this, [this] {
        const QModelIndex current = _view->currentIndex();
        if (_model.entry(current))
            _view->edit(current.siblingAtColumn(AgendaModel::DueColumn));
    });
    due->setObjectName(QStringLiteral("changeDueDate"));
    due->setShortcut(QKeySequence(Qt::Key_F2));
    due->setShortcutContext(Qt::WidgetShortcut);
    _view->addAction(due);
}

void AgendaWindow::present() {
    show();
    raise();
    activateWindow();
    _view->setFocus();
    // The keys start on the first item, not on a section's heading.
    if (!_model.entry(_view->currentIndex()) && _model.rowCount() > 0)
        _view->setCurrentIndex(_model.index(0, 0, _model.index(0, 0)));
}

std::vector<AgendaEntry> AgendaWindow::selectedEntries() const {
    // Copies: each change resets the model under them.
    std::vector<AgendaEntry> entries;
    for (const QModelIndex& index : _view->selectionModel()->selectedRows())
        if (const AgendaEntry* entry = _model.entry(index))
            entries.push_back(*entry);
    if (entries.empty())
        if (const AgendaEntry* entry = _model.entry(_view->currentIndex()))
            entries.push_back(*entry);
    return entries;
}

void AgendaWindow::markDone() {
    if (const std::optional<QString> why = _documents.markDone(selectedEntries(), this))
        showStatus(*why);
}

void AgendaWindow::showSelectedItem() {
    const AgendaEntry* entry = _model.entry(_view->currentIndex());
    if (!entry || !_actions.showItem)
        return;
    const AgendaEntry shown = *entry;
    _actions.showItem(shown);
}

void AgendaWindow::selectAll() {
    // A text field with the focus selects its text, as it does with its own key.
    if (auto* field = qobject_cast<QLineEdit*>(focusWidget()); field && field->hasFocus()) {
        field->selectAll();
        return;
    }
    // Every item's row: the sections' rows are headings, not items.
    QItemSelection all;
    for (int s = 0; s < _model.rowCount(); ++s) {
        const QModelIndex section = _model.index(s, 0);
        const int rows = _model.rowCount(section);
        if (rows > 0)
            all.select(_model.index(0, 0, section),
                       _model.index(rows - 1, AgendaModel::ColumnCount - 1, section));
    }
    _view->selectionModel()->select(all, QItemSelectionModel::ClearAndSelect);
}

void AgendaWindow::quickAdd() {
    if (!_actions.quickAdd)
        return;
    if (const std::optional<QString> why = _actions.quickAdd(_quickAdd->text())) {
        _quickAddReading->showMessage(*why);
        return;
    }
    _quickAdd->clear();
}

void AgendaWindow::fillCategories() {
    const QStringList categories = _model.categories();
    QStringList shown;
    for (int i = 1; i < _category->count(); ++i)
        shown << _category->itemText(i);
    if (_category->count() > 0 && shown == categories)
        return;
    // Filling the box picks no filter: only the user's choice does.
    _fillingCategories = true;
    const QString chosen = _model.category();
    _category->clear();
    _category->addItem(tr("All Categories"));
    _category->addItems(categories);
    if (!chosen.isEmpty() && !categories.contains(chosen))
        _category->addItem(chosen);
    _category->setCurrentIndex(chosen.isEmpty() ? 0 : _category->findText(chosen));
    _fillingCategories = false;
}

void AgendaWindow::rememberSelection() {
    _keptSelection.clear();
    for (const QModelIndex& index : _view->selectionModel()->selectedRows())
        if (_model.entry(index))
            _keptSelection.push_back(_model.placeOf(index));
    _keptCurrent = _model.placeOf(_view->currentIndex());
}

void AgendaWindow::restoreSelection() {
    _view->expandAll();
    if (_keptSelection.empty() && !_keptCurrent.item)
        return;
    // One walk over the rows finds every kept one.
    std::unordered_set<const Dict*> kept;
    for (const AgendaModel::Place& place : _keptSelection)
        kept.insert(place.item);
    QItemSelection selection;
    QModelIndex current;
    for (int s = 0; s < _model.rowCount(); ++s) {
        const QModelIndex section = _model.index(s, 0);
        for (int row = 0, rows = _model.rowCount(section); row < rows; ++row) {
            const QModelIndex index = _model.index(row, 0, section);
            const AgendaEntry* entry = _model.entry(index);
            if (kept.contains(entry->item.get()))
                selection.select(index, index.siblingAtColumn(AgendaModel::ColumnCount - 1));
            if (entry->item.get() == _keptCurrent.item)
                current = index;
        }
    }
    if (current.isValid())
        _view->selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    _view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    _keptSelection.clear();
    _keptCurrent = {};
}

void AgendaWindow::showStatus(const QString& text) {
    statusBar()->showMessage(text, kStatusMsecs);
}

void AgendaWindow::sayWhyEmpty() {
    _view->setEmptyText(agendaEmptyHint(_model, _search->text(), !_lists.lists().empty()));
}

} // namespace tardigo
