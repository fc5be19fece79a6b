#include "window/document_main_window.h"

#include "accounts/window_sync.h"
#include "alerts/alert_queue.h"
#include "appearance/item_appearance.h"
#include "dialogs/dialog_service.h"
#include "dialogs/file_error_messages.h"
#include "dialogs/message_box_host.h"
#include "document/column_sorting.h"
#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "model/category_names.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "outline/outline_columns.h"
#include "outline/outline_item_model.h"
#include "outline/outline_selection.h"
#include "outline/status_display.h"
#include "platform/preference_signals.h"
#include "platform/settings.h"
#include "print/gui/document_printing.h"
#include "widgets/empty_list_hint.h"
#include "widgets/gui_log.h"
#include "widgets/list_lock_wait.h"
#include "window/document_menus.h"
#include "window/document_toolbar.h"
#include "window/due_date_editor.h"
#include "window/eliding_label.h"
#include "window/help_commands.h"
#include "window/inspector_dock_widget.h"
#include "window/outline_appearance.h"
#include "window/outline_delegate.h"
#include "window/outline_key_handler.h"
#include "window/outline_tree_view.h"
#include "window/property_list_export_dialog.h"
#include "window/search_field.h"
#include "window/toolbar_customize_dialog.h"
#include "window/window_host.h"
#include "window/window_search.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QScreen>
#include <QSet>
#include <QStatusBar>
#include <QTextEdit>
#include <QVBoxLayout>

namespace tardigo {

namespace {

bool isUntitledName(const QString& name) {
    return name == TardigoDocument::untitledName();
}

/// The date column fits the widest date it shows, with the cell's margins.
int dueColumnWidth(const QFontMetrics& metrics) {
    return DueDateEditor::widestDateWidth(metrics) + 16;
}

void setDefaultColumnWidths(QHeaderView& header, const QFontMetrics& metrics) {
    const std::pair<Column, int> widths[] = {{Column::Icon, 34},      {Column::Name, 250},
                                             {Column::Category, 110}, {Column::Due, dueColumnWidth(metrics)},
                                             {Column::Notes, 180},    {Column::Completion, 110}};
    for (const auto& [column, width] : widths)
        header.resizeSection(columnIndex(column), width);
}

/// Widens the columns shown that are narrower than their title, and the date column than its dates:
/// widths stored under another language, or another date format, may cut them. None is narrowed.
void widenColumnsToFit(QHeaderView& header, const QFontMetrics& metrics) {
    const int due = columnIndex(Column::Due);
    for (int section = 0; section < header.count(); ++section) {
        if (header.isSectionHidden(section))
            continue;
        int needed = header.sectionSizeHint(section);
        if (section == due)
            needed = std::max(needed, dueColumnWidth(metrics));
        if (header.sectionSize(section) < needed)
            header.resizeSection(section, needed);
    }
}

} // namespace

DocumentMainWindow::DocumentMainWindow(std::unique_ptr<TardigoDocument> document, WindowHost& host)
    : _document(std::move(document)), _host(host) {
    setObjectName(QStringLiteral("documentWindow"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    buildWidgets();
    const QString autosaveName = _document->displayName();
    if (!isUntitledName(autosaveName))
        restoreLayout(autosaveName);
    _document->setWindow(this);
    connectCommands();
    connectMenuCommands();
    connectShapingCommands();
    connectInspectorCommands();
    _document->setUpWindow();
    updateTitle();
    updateRecentDocuments();
    validate();
}

DocumentMainWindow::~DocumentMainWindow() {
    _outline->endEditing();
    _document->close();
    _document->setWindow(nullptr);
    _document->outlineModel().setDecorations(nullptr);
    // The widgets that call the document go before it does.
    delete _inspector;
    delete _outline;
}

void DocumentMainWindow::buildWidgets() {
    _outline = new OutlineTreeView(*_document, this);
    _appearance = std::make_unique<OutlineAppearance>(*_document);
    _document->outlineModel().setDecorations(_appearance.get());
    _delegate =
        new OutlineDelegate(*_outline, [document = _document.get()] { return document->categoryChoices(); });
    _delegate->setBorderedFields(Settings::instance().borderPulldowns());
    _delegate->setSearchMatching(
        [document = _document.get()](const Dict& item) { return document->searchMatching(item); });
    _outline->setItemDelegate(_delegate);
    _outline->resetRowHeight();
    setDefaultColumnWidths(*_outline->header(), _outline->fontMetrics());
    widenColumnsToFit(*_outline->header(), _outline->fontMetrics());
    _search = new WindowSearch(*_document, *_outline, this);
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* searchRow = new QHBoxLayout;
    searchRow->setContentsMargins(6, 4, 6, 4);
    searchRow->addWidget(&_search->field());
    layout->addLayout(searchRow);
    layout->addWidget(_outline);
    setCentralWidget(central);
    setTabOrder(&_search->field(), _outline);

    _toolbar = new DocumentToolbar(this);
    addToolBar(Qt::TopToolBarArea, _toolbar);
    _menus = new DocumentMenus(*menuBar(), _document->undoStack(), this);
    _inspector = _host.makeInspector(*_document, *this);
    const bool left = Settings::instance().drawerSide() == 0;
    addDockWidget(left ? Qt::LeftDockWidgetArea : Qt::RightDockWidgetArea, _inspector);
    _inspector->hide();
    _messages = new MessageBoxHost(this);
    _printing = new DocumentPrinting(
        *_document, *this, [outline = _outline](const Dict& item) { return outline->isItemExpanded(&item); });
    _sync = new WindowSync(*this);

    // The selected item's name, or a message in its place, gives way to the count of outstanding
    // items, which always shows.
    _selectionLabel = new ElidingLabel(this);
    _selectionLabel->setObjectName(QStringLiteral("selectionLabel"));
    _statusMessage = new ElidingLabel(this);
    _statusMessage->setObjectName(QStringLiteral("statusMessage"));
    _statusMessage->hide();
    _statusLine = new QLabel(this);
    _statusLine->setObjectName(QStringLiteral("statusLine"));
    _statusLine->setTextFormat(Qt::PlainText);
    statusBar()->addWidget(_selectionLabel, 1);
    statusBar()->addWidget(_statusMessage, 1);
    statusBar()->addPermanentWidget(_sync->statusWidget());
    statusBar()->addPermanentWidget(_statusLine);
    resize(900, 560);
}

void DocumentMainWindow::restoreLayout(const QString& autosaveName) {
    const Settings& settings = Settings::instance();
    if (const QByteArray geometry = settings.windowFrame(autosaveName); !geometry.isEmpty()) {
        restoreGeometry(geometry);
        fitIntoScreen();
    }
    if (const QByteArray columns = settings.outlineColumns(autosaveName); !columns.isEmpty()) {
        _outline->header()->restoreState(columns);
        _outline->takeColumnsFromHeader();
        // The arrow belongs to the list's sort state, which the document restores.
        _outline->header()->setSortIndicator(-1, Qt::AscendingOrder);
    }
    widenColumnsToFit(*_outline->header(), _outline->fontMetrics());
}

void DocumentMainWindow::fitIntoScreen() {
    if (isMaximized() || isFullScreen())
        return;
    const QScreen* screen = QGuiApplication::screenAt(geometry().center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // A frame saved on a larger screen, or at a smaller scale, is made to fit, title bar and borders
    // included: the desktop has not framed the window yet, so room is left for a usual frame.
    const QMargins usualFrame(10, 40, 10, 10);
    const QRect room = screen->availableGeometry().marginsRemoved(usualFrame);
    QRect fitted = geometry();
    fitted.setSize(fitted.size().boundedTo(room.size()).expandedTo(minimumSizeHint()));
    fitted.moveLeft(
        std::clamp(fitted.left(), room.left(), std::max(room.left(), room.right() + 1 - fitted.width())));
    fitted.moveTop(
        std::clamp(fitted.top(), room.top(), std::max(room.top(), room.bottom() + 1 - fitted.height())));
    setGeometry(fitted);
}

void DocumentMainWindow::saveLayoutUnderName(const QString& autosaveName) {
    Settings& settings = Settings::instance();
    settings.setWindowFrame(autosaveName, saveGeometry());
    settings.setOutlineColumns(autosaveName, _outline->header()->saveState());
}

void DocumentMainWindow::connectCommands() {
    TardigoDocument* document = _document.get();
    connect(_outline, &OutlineTreeView::cellClicked, document,
            [document](const NodePtr& item, std::optional<Column> column, bool onSelectedRow) {
                document->cellEdits().handleClick(item, column, onSelectedRow);
            });
    connect(_outline, &OutlineTreeView::cellDoubleClicked, document,
            [document](const NodePtr& item, std::optional<Column> column) {
                document->cellEdits().handleDoubleClick(item, column);
            });
    connect(_outline, &OutlineTreeView::headerClicked, document,
            [document](Column column) { document->sorting().headerClicked(column); });
    connect(_outline, &OutlineTreeView::columnsChanged, this, &DocumentMainWindow::validate);
    // Selections the document makes itself bring no refresh, yet the commands follow them.
    connect(&document->selection(), &QItemSelectionModel::selectionChanged, this,
            &DocumentMainWindow::validate);
    // The default font is a preference: the rows fit it.
    connect(&PreferenceSignals::instance(), &PreferenceSignals::preferencesChanged, _outline,
            &OutlineTreeView::resetRowHeight);
    connect(document, &TardigoDocument::editedChanged, this, [this] {
        updateTitle();
        validate();
    });
    connect(document, &TardigoDocument::fileNameChanged, this, &DocumentMainWindow::updateTitle);
    connect(document, &TardigoDocument::fileChangedOnDisk, this, [this] {
        // The answer to the question shown reads the file as it is then.
        if (_askingAboutDisk)
            return;
        // What is typed in a cell counts as a change. Without one, nothing of the user's would be
        // lost: the list simply follows its file.
        finishAllEditing();
        if (!_document->isDocumentEdited())
            reloadFromDisk();
        else
            resolveChangeOnDisk();
    });
    connect(document, &TardigoDocument::dataReplaced, this, &DocumentMainWindow::dataReplaced);

    connect(_toolbar->action(DocumentToolbar::newItemIdentifier), &QAction::triggered, document,
            [document] { document->itemCommands().newItem(); });
    connect(_toolbar->action(DocumentToolbar::doneIdentifier), &QAction::triggered, document,
            [document] { document->itemCommands().doneItem(); });
    connect(_toolbar->action(DocumentToolbar::printIdentifier), &QAction::triggered, _printing,
            [this] { _printing->printShowingPrintPanel(true); });
    connect(_toolbar->action(DocumentToolbar::customizeIdentifier), &QAction::triggered, this,
            &DocumentMainWindow::customizeToolbar);
    connect(_toolbar->action(DocumentToolbar::stickiesIdentifier), &QAction::triggered, this,
            &DocumentMainWindow::makeSticky);
    connect(_toolbar, &DocumentToolbar::hideCompletedToggled, document,
            [document](bool hide) { document->outlineCommands().toggleHideCompletedItems(hide); });
    connect(_toolbar, &DocumentToolbar::recentDocumentChosen, this,
            [this](const QString& path) { _host.openRecentDocument(path); });
}

void DocumentMainWindow::connectMenuCommands() {
    TardigoDocument* document = _document.get();
    const MenuActions& menu = _menus->actions();
    onCommand(menu.newDocument, [this] { _host.newDocument(); });
    onCommand(menu.openDocument, [this] { _host.openDocument(); });
    onCommand(menu.closeDocument, [this] { close(); });
    onCommand(menu.saveDocument, [this] { save(); });
    onCommand(menu.saveDocumentAs, [this] { saveAs(); });
    onCommand(menu.revertDocument, [this] { revert(); });
    onCommand(menu.find, [this] { _search->find(); });
    onCommand(menu.findNext, [this] { _search->findNext(false); });
    onCommand(menu.findPrevious, [this] { _search->findNext(true); });
    onCommand(menu.printPreview, [this] { _printing->printPreview(); });
    onCommand(menu.printDocument, [this] { _printing->printShowingPrintPanel(true); });
    onCommand(menu.exportPropertyList, [this] { exportPropertyListDialog(this, *_document); });
    onCommand(menu.syncNow, [this] { _sync->syncNow(); });
    onCommand(menu.cancelSync, [this] { _sync->cancel(); });
    onCommand(menu.syncSettings, [this] { _sync->showSettings(); });
    onCommand(menu.preferences, [this] { _host.showPreferences(false); });
    onCommand(menu.makeSticky, [this] { makeSticky(); });
    onCommand(menu.showStickies, [this] { _host.showStickies(); });
    onCommand(menu.showAgenda, [this] { _host.showAgenda(); });
    onCommand(menu.showHelp, [this] { HelpCommands::showHelp(this); });
    onCommand(menu.sendFeedback, [] { HelpCommands::sendFeedback(); });
    onCommand(menu.quit, [this] { _host.quit(); });
    onCommand(menu.undo, [this] { undo(false); });
    onCommand(menu.redo, [this] { undo(true); });
    onCommand(menu.expandAll, [this] { _outline->expandItem(nullptr, true); });
    onCommand(menu.collapseAll, [this] { _outline->collapseItem(nullptr, true); });
    onCommand(menu.toggleHideCompletedItems, [this, document] {
        document->outlineCommands().toggleHideCompletedItems(
            _menus->actions().toggleHideCompletedItems->isChecked());
    });
    onCommand(menu.endColumnSorting, [this, document] {
        document->sorting().endColumnSorting();
        validate();
    });
    onCommand(menu.toggleToolbar, [this] { _toolbar->setVisible(!_toolbar->isVisible()); });
    onCommand(menu.customizeToolbar, [this] { customizeToolbar(); });
    onCommand(menu.newItem, [document] { document->itemCommands().newItem(); });
    onCommand(menu.deleteItem, [document] { document->itemCommands().deleteItem(); });
    onCommand(menu.renameItem, [document] { document->itemCommands().renameItem(); });
    onCommand(menu.doneItem, [document] { document->itemCommands().doneItem(); });
    onCommand(menu.purgeCompletedItems, [document] { document->itemCommands().purgeCompletedItems(); });
    onCommand(menu.about, [this] { HelpCommands::showAbout(this); });
    connect(_menus, &DocumentMenus::sortRequested, document,
            [document](Column column) { document->sorting().headerClicked(column); });
    connect(_menus, &DocumentMenus::columnToggled, this, [this, document](Column column) {
        document->outlineCommands().toggleColumnVisibility(column);
        validate();
    });
    connect(_menus, &DocumentMenus::aboutToShowMenu, this, [this] {
        validate();
        _menus->validatePurge(*_document);
        _menus->actions().toggleToolbar->setChecked(_toolbar->isVisible());
        _menus->actions().toggleInspector->setChecked(_inspector->isInspectorShowing());
        updateRecentDocuments();
    });
}

void DocumentMainWindow::updateTitle() {
    setWindowTitle(_document->displayName() + QStringLiteral("[*]"));
    setWindowFilePath(_document->fileName());
    setWindowModified(_document->isDocumentEdited());
}

void DocumentMainWindow::updateRecentDocuments() {
    const QStringList recent = _host.recentDocuments();
    _toolbar->setRecentDocuments(recent);
    QMenu* menu = _menus->recentMenu();
    menu->clear();
    for (const QString& path : recent) {
        QAction* entry = menu->addAction(QFileInfo(path).fileName());
        entry->setToolTip(path);
        connect(entry, &QAction::triggered, this, [this, path] { _host.openRecentDocument(path); });
    }
    menu->addSeparator();
    QAction* clear = menu->addAction(tr("Clear Menu"));
    clear->setEnabled(!recent.isEmpty());
    connect(clear, &QAction::triggered, this, [this] { _host.clearRecentDocuments(); });
}

void DocumentMainWindow::validate() {
    _menus->validate(*_document);
    _menus->actions().cancelSync->setEnabled(_sync->isSyncing());
    const bool selected = _document->selection().lastSelectedItem() != nullptr;
    _toolbar->action(DocumentToolbar::doneIdentifier)->setEnabled(selected);
    _toolbar->action(DocumentToolbar::stickiesIdentifier)->setEnabled(selected);
    for (const QString& identifier : {DocumentToolbar::notesIdentifier, DocumentToolbar::colorsIdentifier,
                                      DocumentToolbar::fontsIdentifier})
        _toolbar->action(identifier)->setEnabled(selected);
    _toolbar->setInspectorState(flagOf(*_document->data(), key::panelInspector),
                                _inspector->isInspectorShowing());
}

void DocumentMainWindow::onCommand(QAction* command, const std::function<void()>& call) {
    connect(command, &QAction::triggered, this, call);
}

void DocumentMainWindow::connectShapingCommands() {
    TardigoDocument* document = _document.get();
    const MenuActions& menu = _menus->actions();
    onCommand(menu.newChildItem, [document] { document->shaping().newChildItem(); });
    onCommand(menu.indentItems, [document] { document->shaping().indentItems(); });
    onCommand(menu.outdentItems, [document] { document->shaping().outdentItems(); });
    onCommand(menu.moveItemsUp, [document] { document->shaping().moveItemsUp(); });
    onCommand(menu.moveItemsDown, [document] { document->shaping().moveItemsDown(); });
    onCommand(menu.copyItems, [this, document] {
        if (forwardToTextField(TextCommand::Copy))
            return;
        if (std::unique_ptr<QMimeData> copied = document->transfer().copyItems())
            QGuiApplication::clipboard()->setMimeData(copied.release());
    });
    onCommand(menu.cutItems, [this, document] {
        if (forwardToTextField(TextCommand::Cut))
            return;
        if (std::unique_ptr<QMimeData> cut = document->transfer().cutItems())
            QGuiApplication::clipboard()->setMimeData(cut.release());
    });
    onCommand(menu.pasteItems, [this, document] {
        if (forwardToTextField(TextCommand::Paste))
            return;
        const QMimeData* offered = QGuiApplication::clipboard()->mimeData();
        if (!offered || !document->transfer().pasteItems(*offered))
            QApplication::beep();
    });
    onCommand(menu.selectAll, [this] {
        if (!forwardToTextField(TextCommand::SelectAll))
            _outline->selectAll(); // the rows shown: what is collapsed stays unselected
    });
    new OutlineKeyHandler(*_outline, *document);
    // The rows offer the Item menu, the header the columns and the sort.
    _outline->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(_outline, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        validate();
        _menus->itemMenu()->popup(_outline->viewport()->mapToGlobal(at));
    });
    auto* headerMenu = new QMenu(this);
    headerMenu->setObjectName(QStringLiteral("headerMenu"));
    headerMenu->addActions(_menus->columnsMenu()->actions());
    headerMenu->addSeparator();
    headerMenu->addMenu(_menus->sortMenu());
    _outline->header()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(_outline->header(), &QWidget::customContextMenuRequested, this,
            [this, headerMenu](const QPoint& at) {
                validate();
                headerMenu->popup(_outline->header()->mapToGlobal(at));
            });
}

namespace {

template <typename Editor> bool runTextCommand(Editor* editor, DocumentMainWindow::TextCommand command) {
    if (!editor)
        return false;
    switch (command) {
    case DocumentMainWindow::TextCommand::Copy:
        editor->copy();
        break;
    case DocumentMainWindow::TextCommand::Cut:
        editor->cut();
        break;
    case DocumentMainWindow::TextCommand::Paste:
        editor->paste();
        break;
    case DocumentMainWindow::TextCommand::SelectAll:
        editor->selectAll();
        break;
    }
    return true;
}

} // namespace

bool DocumentMainWindow::forwardToTextField(TextCommand command) {
    QWidget* focus = QApplication::focusWidget();
    if (!focus || focus == _outline)
        return false;
    return runTextCommand(qobject_cast<QLineEdit*>(focus), command) ||
           runTextCommand(qobject_cast<QTextEdit*>(focus), command) ||
           runTextCommand(qobject_cast<QPlainTextEdit*>(focus), command);
}

void DocumentMainWindow::connectInspectorCommands() {
    const MenuActions& menu = _menus->actions();
    onCommand(menu.toggleInspector, [this] { _inspector->toggleInspector(true); });
    onCommand(menu.tearOffInspector, [this] { _inspector->tearOffInspector(); });
    onCommand(menu.resizeInspector, [this] { _inspector->resizeToFitTool(); });
    connect(_menus, &DocumentMenus::toolRequested, this,
            [this](int tool) { _inspector->showToolWithId(tool); });
    for (const QString& identifier : {DocumentToolbar::notesIdentifier, DocumentToolbar::colorsIdentifier,
                                      DocumentToolbar::fontsIdentifier})
        connect(
            _toolbar->action(identifier), &QAction::triggered, this,
            [this, tool = *DocumentToolbar::toolOfItem(identifier)] { _inspector->showToolWithId(tool); });
    connect(_toolbar->action(DocumentToolbar::inspectorIdentifier), &QAction::triggered, this,
            [this] { _inspector->toggleInspector(true); });
    connect(_inspector, &QDockWidget::visibilityChanged, this, &DocumentMainWindow::validate);
    connect(_inspector, &QDockWidget::topLevelChanged, this, &DocumentMainWindow::validate);
}

void DocumentMainWindow::undo(bool redo) {
    finishAllEditing();
    UndoStack& undoStack = _document->undoStack();
    if (redo ? undoStack.canRedo() : undoStack.canUndo())
        redo ? undoStack.redo() : undoStack.undo();
    else
        QApplication::beep();
    validate();
}

void DocumentMainWindow::customizeToolbar() {
    ToolbarCustomizeDialog dialog(_toolbar->itemIdentifiers(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    DocumentToolbar::saveItemIdentifiers(dialog.itemIdentifiers());
    // Every window shows the same toolbar.
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* documentWindow = qobject_cast<DocumentMainWindow*>(window)) {
            documentWindow->_toolbar->setItemIdentifiers(dialog.itemIdentifiers());
            documentWindow->updateRecentDocuments();
            documentWindow->_document->updateUI();
        }
}

void DocumentMainWindow::dataReplaced() {
    _document->sorting().restoreSortState();
    _document->updateUI();
}

// DocumentWindow

void DocumentMainWindow::showWindows() {
    show();
    raise();
    activateWindow();
    _outline->setFocus();
}

InspectorView* DocumentMainWindow::inspectorView() {
    return _inspector;
}

MessageHost& DocumentMainWindow::messageHost() {
    return *_messages;
}

void DocumentMainWindow::finishAllEditing() {
    _outline->endEditing();
    _inspector->finishEditing();
}

void DocumentMainWindow::renderDisplay(const StatusDisplay& display) {
    _statusLine->setText(display.statusText);
    _statusMessage->hide();
    _selectionLabel->show();
    _selectionLabel->setText(display.selectionLabel);
    QFont labelFont = qFontForItemFont(display.selectionFont);
    labelFont.setPointSizeF(statusBar()->font().pointSizeF());
    _selectionLabel->setFont(labelFont);
    _toolbar->showHideCompleted(display.hideCompletedChecked);
    _outline->setEmptyText(emptyListHint(_document->counts(), _document->searchText(),
                                         _menus->actions().newItem->shortcut(),
                                         _menus->actions().toggleHideCompletedItems->shortcut()));
    _inspector->renderDisplay(display);
    _search->render();
    validate();
}

void DocumentMainWindow::setStatusText(const QString& text) {
    // The line may show it shortened (whole as its tool tip): the log keeps it whole.
    qCInfo(lcWindow).noquote() << "status line of" << _document->displayName() << ":" << text;
    _statusMessage->setText(text);
    _selectionLabel->hide();
    _statusMessage->show();
}

// Files

void DocumentMainWindow::alert(const Message& message) {
    if (AlertQueue* alerts = _document->alertQueue())
        alerts->addAlert(message);
}

bool DocumentMainWindow::save() {
    finishAllEditing();
    if (_document->fileName().isEmpty())
        return saveAs();
    return saveToFile();
}

AutosaveScheduler::Outcome DocumentMainWindow::autoSave() {
    using Outcome = AutosaveScheduler::Outcome;
    // The notes typed so far are saved too; the notes editor keeps the focus and the typing goes on.
    _inspector->finishEditing();
    // Asking for a file would take the user out of the cell they are typing in.
    if (_document->fileName().isEmpty() && _outline->isEditing())
        return Outcome::Postponed;
    if (_document->fileName().isEmpty())
        return saveAs() ? Outcome::Saved : Outcome::Declined;
    // While another program writes the list, the save comes later, without a dialog.
    if (_waitingForLock || ListLock::ifFree(_document->fileName()).isHeldElsewhere())
        return Outcome::Postponed;
    return saveToFile() ? Outcome::Saved : Outcome::Failed;
}

std::optional<ListLock> DocumentMainWindow::lockList(const QString& path, LockWaitPurpose purpose) {
    // One wait at a time: a save asked for meanwhile (an autosave) comes again later.
    if (_waitingForLock)
        return std::nullopt;
    const QScopedValueRollback waiting(_waitingForLock, true);
    QString error;
    std::optional<ListLock> lock = lockListForWindow(this, path, purpose, &error);
    if (lock)
        return lock;
    const QString name = QFileInfo(path).fileName();
    if (!error.isEmpty())
        alert(purpose == LockWaitPurpose::Save ? saveErrorMessage(path, error)
                                               : openErrorMessage(path, error, false));
    else if (purpose == LockWaitPurpose::Save)
        setStatusText(tr("“%1” was not saved: you stopped waiting for the other program.").arg(name));
    else
        setStatusText(tr("“%1” was not read again: you stopped waiting for the other program.").arg(name));
    return std::nullopt;
}

bool DocumentMainWindow::saveToFile() {
    QString error;
    TardigoDocument::SaveOutcome outcome = TardigoDocument::SaveOutcome::Failed;
    {
        // Held for the check and the save only: the question below waits for the user without it.
        const std::optional<ListLock> lock = lockList(_document->fileName(), LockWaitPurpose::Save);
        if (!lock)
            return false;
        outcome = _document->saveUnlessChangedOnDisk(&error);
    }
    switch (outcome) {
    case TardigoDocument::SaveOutcome::Saved:
        return true;
    case TardigoDocument::SaveOutcome::ChangedOnDisk:
        return resolveChangeOnDisk();
    case TardigoDocument::SaveOutcome::Failed:
        break;
    }
    alert(saveErrorMessage(_document->fileName(), error));
    return false;
}

bool DocumentMainWindow::resolveChangeOnDisk() {
    QMessageBox::StandardButton answer = QMessageBox::Cancel;
    {
        const QScopedValueRollback asking(_askingAboutDisk, true);
        answer = DialogService::question(
            this, QMessageBox::Warning, tr("Changed on Disk"),
            tr("“%1” was changed by another program since you opened or saved it here.")
                .arg(_document->displayName()),
            tr("Merge its changes with yours, reload it and lose the changes you made here, or save "
               "your version over the other one?"),
            QMessageBox::Apply | QMessageBox::Reset | QMessageBox::Save | QMessageBox::Cancel,
            QMessageBox::Apply,
            {{QMessageBox::Apply, tr("Merge")},
             {QMessageBox::Reset, tr("Reload")},
             {QMessageBox::Save, tr("Save Anyway")}});
    }
    if (answer == QMessageBox::Apply) {
        mergeChangesOnDisk();
        return false;
    }
    if (answer == QMessageBox::Reset) {
        reloadFromDisk();
        return false;
    }
    if (answer != QMessageBox::Save)
        return false;
    const std::optional<ListLock> lock = lockList(_document->fileName(), LockWaitPurpose::Save);
    if (!lock)
        return false;
    QString error;
    if (_document->writeToFile(_document->fileName(), &error))
        return true;
    alert(saveErrorMessage(_document->fileName(), error));
    return false;
}

void DocumentMainWindow::mergeChangesOnDisk() {
    const QString path = _document->fileName();
    TardigoDocument::FileOnDisk file;
    {
        // Held for the read only: another program may write the list while the merge is made.
        const std::optional<ListLock> lock = lockList(path, LockWaitPurpose::Read);
        if (!lock)
            return;
        file = _document->readFileOnDisk();
    }
    const FileMerge merge = _document->mergeFileOnDisk(std::move(file));
    if (merge.outcome != FileMerge::Outcome::Merged) {
        qCInfo(lcWindow).noquote() << "the changes on disk of" << path << "were not merged:" << merge.error;
        alert(mergeRefusalMessage(path, merge.outcome, merge.error));
        return;
    }
    const QString here = merge.changedHere == 1 ? tr("1 item changed here")
                                                : tr("%1 items changed here").arg(merge.changedHere);
    setStatusText(tr("Merged with the file: %1, %2 on disk. Not saved yet.")
                      .arg(here, QString::number(merge.changedOnDisk)));
    if (!merge.conflicts.isEmpty())
        alert(mergeConflictMessage(path, merge.conflicts));
    validate();
}

void DocumentMainWindow::reloadFromDisk() {
    // The new tree holds new nodes: an item is found again as the same item, by name and creation.
    const auto identity = [](const Dict& item) {
        const QString* name = item.value(key::name).asString();
        const QString* created = item.value(key::dateCreated).asString();
        return (name ? *name : QString()) + u'\x1f' + (created ? *created : QString());
    };
    QSet<QString> expanded, selected;
    for (const NodePtr& item : _outline->expandedItems())
        expanded.insert(identity(*item));
    for (const NodePtr& item : _document->selection().selectedItems())
        selected.insert(identity(*item));
    finishAllEditing();
    QString error;
    if (!_document->readFromFile(_document->fileName(), &error)) {
        alert(openErrorMessage(_document->fileName(), error, false));
        return;
    }
    std::vector<NodePtr> open, chosen;
    std::vector<NodePtr> pending{_document->data()};
    while (!pending.empty()) { // parents before their children, so that each opens in view
        const NodePtr node = std::move(pending.back());
        pending.pop_back();
        if (node != _document->data()) {
            if (expanded.contains(identity(*node)))
                open.push_back(node);
            if (selected.contains(identity(*node)))
                chosen.push_back(node);
        }
        if (const ArrayPtr children = childrenOf(*node))
            for (auto child = children->items.rbegin(); child != children->items.rend(); ++child)
                if (NodePtr item = child->asDict())
                    pending.push_back(std::move(item));
    }
    for (const NodePtr& item : open)
        _outline->expandItem(item, false);
    _document->selection().selectItems(chosen);
    _document->updateUI();
}

void DocumentMainWindow::makeSticky() {
    const std::vector<NodePtr> items = _document->selection().selectedItems();
    if (items.empty()) {
        QApplication::beep();
        return;
    }
    _host.makeStickies(*_document, items);
}

bool DocumentMainWindow::saveAs() {
    finishAllEditing();
    _document->updateFilenameInPrefs();
    const QString suggested = _document->fileName().isEmpty()
                                  ? QDir::home().filePath(_document->displayName() + QStringLiteral(".todo"))
                                  : _document->fileName();
    const QString path = DialogService::saveFileName(this, suggested);
    if (path.isEmpty())
        return false;
    const std::optional<ListLock> lock = lockList(path, LockWaitPurpose::Save);
    if (!lock)
        return false;
    QString error;
    if (!_document->writeToFile(path, &error)) {
        alert(saveErrorMessage(path, error));
        return false;
    }
    _host.noteRecentDocument(path);
    return true;
}

void DocumentMainWindow::revert() {
    if (_document->fileName().isEmpty() || !_document->isDocumentEdited())
        return;
    finishAllEditing();
    const QMessageBox::StandardButton answer = DialogService::question(
        this, QMessageBox::Warning, tr("Revert"),
        tr("Revert to the saved version of “%1”?").arg(_document->displayName()),
        tr("Your current changes will be lost."), QMessageBox::Discard | QMessageBox::Cancel,
        QMessageBox::Cancel, {{QMessageBox::Discard, tr("Revert")}});
    if (answer != QMessageBox::Discard)
        return;
    // Read once another program that is writing the list has finished.
    const std::optional<ListLock> lock = lockList(_document->fileName(), LockWaitPurpose::Read);
    if (!lock)
        return;
    QString error;
    bool isLegacy = false;
    if (!_document->readFromFile(_document->fileName(), &error, &isLegacy))
        alert(openErrorMessage(_document->fileName(), error, isLegacy));
}

bool DocumentMainWindow::confirmClose() {
    finishAllEditing();
    if (!_document->isDocumentEdited())
        return true;
    const QMessageBox::StandardButton answer = DialogService::question(
        this, QMessageBox::Warning, tr("Save Changes"),
        tr("Do you want to save the changes you made to “%1”?").arg(_document->displayName()),
        tr("Your changes will be lost if you don’t save them."),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save)
        return save();
    return answer == QMessageBox::Discard;
}

void DocumentMainWindow::closeEvent(QCloseEvent* event) {
    if (_closed) {
        event->accept();
        return;
    }
    // A save waiting for the list's lock ends first, by itself or as the user stops it.
    if (_waitingForLock) {
        event->ignore();
        return;
    }
    if (!_changesReviewed && !confirmClose()) {
        event->ignore();
        return;
    }
    _closed = true;
    _document->updateFilenameInPrefs();
    Settings::instance().sync();
    _document->close();
    event->accept();
    _host.windowClosed(this);
}

void DocumentMainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !_closed)
        updateRecentDocuments();
}

} // namespace tardigo
