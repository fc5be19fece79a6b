#include "document/tardigo_document.h"

#include "alerts/alert_queue.h"
#include "archive/list_file.h"
#include "document/document_window.h"
#include "document/item_mime_data.h"
#include "document/undo_manager.h"
#include "merge/list_merge.h"
#include "model/category_names.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "outline/inspector_view.h"
#include "outline/outline_cell.h"
#include "outline/outline_filter.h"
#include "outline/outline_item_model.h"
#include "outline/outline_selection.h"
#include "platform/list_lock.h"
#include "platform/preference_signals.h"
#include "platform/settings.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QMimeData>
#include <QTimer>

#include <algorithm>

namespace tardigo {

TardigoDocument::TardigoDocument(QObject* parent)
    : QObject(parent), _data(newListRoot()), _undoStack(new UndoStack(this)), _itemCommands(*this),
      _outlineCommands(*this), _cellEdits(*this), _sorting(*this), _restoring(*this), _minderHandOff(*this),
      _inspectorCommands(*this), _shaping(*this), _transfer(*this), _edits(*this),
      _outlineModel(new OutlineItemModel(*this, _data, this)),
      _selection(new OutlineSelectionModel(*_outlineModel, this)),
      _categoriesLocalScope(Settings::instance().categoriesLocalScope()), _deferred(new QObject(this)) {
    connect(_undoStack, &UndoStack::changed, this, [this] { countChange(ChangeKind::Undone); });
    OutlineItemModel* model = _outlineModel;
    connect(this, &TardigoDocument::dataReplaced, model, [this] { _outlineModel->setRoot(_data); });
    connect(this, &TardigoDocument::itemsInserted, model, &OutlineItemModel::itemsInserted);
    connect(this, &TardigoDocument::itemsAboutToBeRemoved, model, &OutlineItemModel::itemsAboutToBeRemoved);
    connect(this, &TardigoDocument::itemsAboutToBeMoved, model, &OutlineItemModel::itemsAboutToBeMoved);
    connect(this, &TardigoDocument::itemsRearranged, model, &OutlineItemModel::itemsRearranged);
    connect(this, &TardigoDocument::itemChanged, model, &OutlineItemModel::itemChanged);
    // A change of selection changes no item: the rows and the counts stay as they are. The document's
    // own changes refresh when they are done.
    connect(_selection, &QItemSelectionModel::selectionChanged, this, [this] {
        if (!syncingModel())
            updateDisplay();
    });
}

TardigoDocument::~TardigoDocument() = default;

bool TardigoDocument::readFromFile(const QString& path, QString* error, bool* isLegacy) {
    const ListLoad load = readListFile(path);
    if (isLegacy)
        *isLegacy = load.isLegacy;
    return adoptFile(load, path, error);
}

bool TardigoDocument::importLegacyFile(const QString& path, QString* error) {
    return adoptFile(importLegacyListFile(path), path, error);
}

bool TardigoDocument::adoptFile(const ListLoad& load, const QString& path, QString* error) {
    if (!load.ok()) {
        *error = load.error;
        return false;
    }
    setFileName(path);
    takeLoadedList(load);
    rememberFileVersion();
    return true;
}

void TardigoDocument::takeLoadedList(const ListLoad& load) {
    _data = load.root;
    // The old tree's undo steps would act on nodes the list no longer holds.
    _undoStack->clear();
    _undoStack->setClean();
    _changesWithoutUndo = load.changed ? 1 : 0; // the load repairs changed the list
    _minderChanges = 0;
    _base = ListBase(*_data);
    emit dataReplaced();
    reportEdited();
}

bool TardigoDocument::writeToFile(const QString& path, QString* error) {
    *error = writeListFile(path, _data);
    if (!error->isEmpty())
        return false;
    if (path != _fileName)
        setFileName(path);
    countChange(ChangeKind::Cleared);
    _base = ListBase(*_data);
    rememberFileVersion();
    emit saved();
    return true;
}

TardigoDocument::SaveOutcome TardigoDocument::saveUnlessChangedOnDisk(QString* error) {
    const ListLock lock(_fileName);
    if (!lock.isLocked()) {
        *error = lock.error();
        return SaveOutcome::Failed;
    }
    if (changedOnDisk())
        return SaveOutcome::ChangedOnDisk;
    return writeToFile(_fileName, error) ? SaveOutcome::Saved : SaveOutcome::Failed;
}

bool TardigoDocument::changedOnDisk() const {
    const std::optional<FileIdentity> now = FileIdentity::of(_fileName);
    return now && _fileVersion && *now != *_fileVersion;
}

TardigoDocument::FileOnDisk TardigoDocument::readFileOnDisk() const {
    const ListLock lock(_fileName);
    if (!lock.isLocked()) {
        FileOnDisk failed;
        failed.load.error = lock.error();
        return failed;
    }
    return {readListFile(_fileName), FileIdentity::of(_fileName)};
}

FileMerge TardigoDocument::mergeFileOnDisk(FileOnDisk file) {
    using Outcome = FileMerge::Outcome;
    FileMerge result;
    if (!file.load.ok()) {
        result.outcome = file.load.isLegacy ? Outcome::Legacy : Outcome::Unreadable;
        result.error = file.load.error;
        return result;
    }
    ListMerge merge = mergeLists(_base, _data, file.load.root);
    result.changedHere = merge.changedHere;
    result.changedOnDisk = merge.changedThere;
    if (!merge.ok()) {
        result.outcome = merge.outcome == ListMerge::Outcome::TooDeep ? Outcome::TooDeep : Outcome::Unsound;
        return result;
    }
    result.outcome = Outcome::Merged;
    result.conflicts = merge.conflicts;
    if (!merge.changes.empty()) {
        const UndoGroup step(*_undoStack, tr("merge changes on disk"));
        _restoring.setContents(merge.changes);
    }
    // No state of the undo stack is what the file holds now: the list stays changed until it is saved.
    ++_changesWithoutUndo;
    reportEdited();
    _base = std::move(merge.base);
    _fileVersion = file.version;
    _announcedVersion.reset();
    watchFile();
    return result;
}

void TardigoDocument::rememberFileVersion() {
    _fileVersion = FileIdentity::of(_fileName);
    _announcedVersion.reset();
    watchFile();
}

void TardigoDocument::watchFile() {
    if (!_fileWatcher)
        return;
    if (!_fileWatcher->files().isEmpty())
        _fileWatcher->removePaths(_fileWatcher->files());
    if (!_fileName.isEmpty() && QFileInfo::exists(_fileName))
        _fileWatcher->addPath(_fileName);
}

void TardigoDocument::fileWatched(const QString& path) {
    if (path != _fileName)
        return;
    // A save by rename leaves the watch on the old file: watch the name again.
    if (!_fileWatcher->files().contains(path) && QFileInfo::exists(path))
        _fileWatcher->addPath(path);
    const std::optional<FileIdentity> now = FileIdentity::of(path);
    if (!changedOnDisk() || now == _announcedVersion)
        return;
    _announcedVersion = now;
    emit fileChangedOnDisk();
}

void TardigoDocument::setFileName(const QString& path) {
    performLater([this] { updateFilenameInPrefs(); });
    _fileName = path;
    emit fileNameChanged(path);
}

QString TardigoDocument::untitledName() {
    return tr("Untitled");
}

QString TardigoDocument::displayName() const {
    if (!_fileName.isEmpty())
        return QFileInfo(_fileName).fileName();
    return _untitledName.isEmpty() ? untitledName() : _untitledName;
}

void TardigoDocument::updateFilenameInPrefs() {
    if (!_fileName.isEmpty())
        addToMinderWatchList(_fileName);
    const QString name = displayName();
    if (name != untitledName() && _window)
        _window->saveLayoutUnderName(name);
}

bool TardigoDocument::isDocumentEdited() const {
    return !_undoStack->isClean() || _changesWithoutUndo > 0;
}

bool TardigoDocument::hasOnlyMinderChanges() const {
    return _minderChanges > 0 && _changesWithoutUndo == _minderChanges && _undoStack->isClean();
}

void TardigoDocument::countChange(ChangeKind kind) {
    switch (kind) {
    case ChangeKind::Done:
        ++_changesWithoutUndo;
        break;
    case ChangeKind::ByMinder:
        ++_changesWithoutUndo;
        ++_minderChanges;
        break;
    case ChangeKind::Undone:
        break; // the undo stack's state tells
    case ChangeKind::Cleared:
        _undoStack->setClean();
        _changesWithoutUndo = 0;
        _minderChanges = 0;
        break;
    }
    reportEdited();
    if (kind != ChangeKind::Cleared)
        emit changeCounted();
}

void TardigoDocument::reportEdited() {
    // The undo stack has moved already when it tells, so the state last reported is what counts.
    if (_reportedEdited == isDocumentEdited())
        return;
    _reportedEdited = isDocumentEdited();
    emit editedChanged(_reportedEdited);
}

void TardigoDocument::performLater(std::function<void()> call) {
    performAfter(std::chrono::milliseconds(0), std::move(call));
}

void TardigoDocument::performAfter(std::chrono::milliseconds delay, std::function<void()> call) {
    if (_deferred)
        QTimer::singleShot(delay, _deferred.data(), std::move(call));
}

void TardigoDocument::close() {
    if (!_deferred)
        return;
    delete _deferred.data();
    _undoStack->clear();
    PreferenceSignals::instance().disconnect(this);
    _alertQueue.reset();
    emit closed();
}

void TardigoDocument::setWindow(DocumentWindow* window) {
    _window = window;
    // Only a list on screen is watched: the minder opens many more without windows.
    if (window && !_fileWatcher) {
        _fileWatcher = new QFileSystemWatcher(this);
        connect(_fileWatcher, &QFileSystemWatcher::fileChanged, this, &TardigoDocument::fileWatched);
        watchFile();
    }
    if (!window)
        _alertQueue.reset();
}

void TardigoDocument::setUpWindow() {
    if (!_window)
        return;
    PreferenceSignals& preferences = PreferenceSignals::instance();
    connect(&preferences, &PreferenceSignals::globalCategoriesRequested, this,
            &TardigoDocument::enumerateCategoriesGlobally);
    connect(&preferences, &PreferenceSignals::preferencesChanged, this, &TardigoDocument::prefsChanged);
    _alertQueue = std::make_unique<AlertQueue>(_window->messageHost());
    _sorting.restoreSortState();
    updateUI();
    if (InspectorView* inspector = inspectorView(); inspector && flagOf(*_data, key::inspectorVisible))
        inspector->toggleInspector(false);
}

void TardigoDocument::showWindows() {
    if (_window)
        _window->showWindows();
}

QStringList TardigoDocument::categoryChoices() const {
    return categoryNames(*_data,
                         _categoriesLocalScope ? QStringList() : Settings::instance().globalCategories());
}

void TardigoDocument::enumerateCategoriesGlobally() const {
    Settings& settings = Settings::instance();
    settings.setGlobalCategories(categoryNames(*_data, settings.globalCategories()));
}

InspectorView* TardigoDocument::inspectorView() const {
    return _window ? _window->inspectorView() : nullptr;
}

QString TardigoDocument::searchText() const {
    return _outlineModel->searchText();
}

void TardigoDocument::setSearchText(const QString& text) {
    if (text == searchText())
        return;
    finishAllEditing();
    if (text.isEmpty() && _data->contains(key::filterTerm)) {
        _outlineCommands.setStoredSearchTerm(Value());
        return;
    }
    // Only what is shown changed: the items, and so their counts, did not.
    {
        const SyncingModel syncing(*this);
        _outlineModel->setTypedSearch(text.isEmpty() ? std::nullopt : std::optional(text));
    }
    updateDisplay();
}

const ItemSearch* TardigoDocument::searchMatching(const Dict& item) const {
    return _outlineModel->searchMatching(item);
}

void TardigoDocument::takeStoredSearchTerm() {
    const SyncingModel syncing(*this);
    _outlineModel->setTypedSearch(std::nullopt);
}

void TardigoDocument::setSearchAsideFor(const std::vector<NodePtr>& items) {
    if (std::none_of(items.begin(), items.end(),
                     [this](const NodePtr& item) { return _outlineModel->searchHides(*item); }))
        return;
    {
        const SyncingModel syncing(*this);
        _outlineModel->setTypedSearch(QString());
    }
    updateDisplay();
}

void TardigoDocument::revealItems(const std::vector<NodePtr>& items) {
    {
        const SyncingModel syncing(*this);
        _selection->selectItems(items);
    }
    emit itemsToReveal(items);
}

void TardigoDocument::editCell(const NodePtr& item, Column column, bool selectText) {
    if (!_outlineModel->indexOfItem(item.get()).isValid())
        return;
    {
        const SyncingModel syncing(*this);
        _selection->selectItems({item});
    }
    emit cellEditRequested(item, column, selectText);
}

CellValue TardigoDocument::cellValue(Column column, const NodePtr& item) const {
    return outlineCellValue(column, item.get(), _minderHandOff.currentReminderItem().get());
}

void TardigoDocument::setCellValue(const CellValue& object, Column column, const NodePtr& item) {
    _cellEdits.setCellValue(object, column, item);
}

bool TardigoDocument::setDueDateText(const QString& typed, const NodePtr& item) {
    return _cellEdits.setDueDateText(typed, item);
}

QStringList TardigoDocument::transferTypes() const {
    return {kItemsMimeType, QStringLiteral("text/plain")};
}

std::unique_ptr<QMimeData> TardigoDocument::dragData(const std::vector<NodePtr>& items) {
    return _transfer.dragData(items);
}

bool TardigoDocument::acceptDrop(const QMimeData& data, const NodePtr& item, int childIndex) {
    return _transfer.acceptDrop(data, item, childIndex);
}

void TardigoDocument::finishAllEditing() {
    if (_window)
        _window->finishAllEditing();
}

void TardigoDocument::updateUI() {
    render(std::nullopt);
}

void TardigoDocument::refresh(const ItemCounts& delta) {
    render(delta);
}

void TardigoDocument::updateDisplay() {
    render(ItemCounts{});
}

void TardigoDocument::refreshItem(const NodePtr& item, const QString& key, bool wasCompleted) {
    emit itemChanged(item, {key});
    render(ItemCounts{0, (isCompleted(*item) ? 1 : 0) - (wasCompleted ? 1 : 0)});
}

void TardigoDocument::refreshItems(const std::vector<NodePtr>& items, const QString& key) {
    for (const NodePtr& item : items)
        emit itemChanged(item, {key});
    render(ItemCounts{});
}

void TardigoDocument::render(std::optional<ItemCounts> delta) {
    const SyncingModel syncing(*this);
    const NodePtr item = _selection->lastSelectedItem();
    const qsizetype selectedCount = qsizetype(_selection->selectedRows().size());
    if (delta)
        _counts += *delta;
    else
        _counts = countItemsIncludingChildren(*_data);
    const InspectorView* inspector = inspectorView();
    _display = statusDisplayFor(*_data, outstandingText(_counts), item, selectedCount,
                                inspector ? inspector->toolIdentifierToShow() : 0);
    if (_window)
        _window->renderDisplay(_display);
}

void TardigoDocument::setStatus(const std::optional<QString>& text) {
    if (!text) {
        updateUI();
        return;
    }
    _display.statusText = *text;
    if (_window)
        _window->setStatusText(*text);
}

void TardigoDocument::prefsChanged() {
    _categoriesLocalScope = Settings::instance().categoriesLocalScope();
    if (InspectorView* inspector = inspectorView())
        inspector->reloadIconTable();
    // The icons, the dates and the categories' scope are the preferences' to say.
    _outlineModel->rowsNeedRedrawing();
    updateUI();
}

void TardigoDocument::minderWithNode(const NodePtr& node, const QString& message, ItemStatus status) {
    _minderHandOff.minderWithNode(node, message, status);
}

TardigoDocument::SyncingModel::SyncingModel(TardigoDocument& document) : _document(&document) {
    ++document._syncingModel;
}

TardigoDocument::SyncingModel::~SyncingModel() {
    if (_document)
        --_document->_syncingModel;
}

} // namespace tardigo
