#include "document/cell_edit_commit.h"

#include "document/due_date_entry.h"
#include "document/inspector_view.h"
#include "document/outline_filter.h"
#include "document/outline_view.h"
#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "minder/tw_alert_array.h"
#include "model/clock.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"
#include "platform/localized.h"
#include "rich_text/notes_text.h"

namespace tardigo {

namespace {

/// The value a cell edit stores: a date becomes its stored date string.
Value storedValue(const CellValue& object) {
    if (const Value* value = std::get_if<Value>(&object))
        return *value;
    if (const QDateTime* date = std::get_if<QDateTime>(&object))
        return storedDateString(*date);
    return {};
}

/// Within the same whole second as now, either way.
bool sameSecondAsNow(const QDateTime& moment) {
    return std::abs(moment.msecsTo(Clock::now())) < 1000;
}

} // namespace

void CellEditCommit::setObjectValue(const CellValue& object, const QString& identifier, const NodePtr& item) {
    if (!item)
        return;
    const Value old = item->value(identifier);
    const bool wasCompleted = VKisCompleted(*item);
    if (identifier == key::due)
        forgetDueDateNotices(*item);
    const Value newValue = storedValue(object);
    const QDateTime* dueDate = identifier == key::due ? std::get_if<QDateTime>(&object) : nullptr;
    if (dueDate)
        _lastCellObjectSet = StoredCell{item, identifier, Clock::now()};
    if (old.isNil() || !(old == newValue)) {
        if (dueDate && *dueDate <= Clock::now()) {
            if (TWAlertArray* alerts = _document.alertArray())
                alerts->addAlert(localized(QStringLiteral("Warning")),
                                 localized(QStringLiteral("You have set a date due in the past.")), false,
                                 std::nullopt, std::nullopt, std::nullopt);
        }
        const QString actionName = localized(QStringLiteral("set")) + u' ' + identifier;
        _document.undoManager().setActionName(actionName);
        _document.restoring().registerSetInDict(item, identifier);
        if (newValue.isNil()) {
            item->remove(identifier);
        } else {
            item->set(identifier, newValue);
            const QString* text = newValue.asString();
            if (!text || !text->isEmpty())
                VKlogMessage(*item, actionName);
            if (identifier == key::completion && VKisCompleted(*item)) {
                VKlogMessage(*item, localized(QStringLiteral("completed")));
                if (filtersByCompletion(*_document.data()))
                    _document.outlineView().deselectAll();
            }
        }
        _document.updateUIForItem(item, identifier, wasCompleted);
        if (_document.sorting().lastSortedTableColumn() == identifier)
            _document.sorting().sortUpdateLater();
    }
    if (identifier == key::category)
        _lastCellObjectSet = StoredCell{item, identifier, Clock::now()};
}

bool CellEditCommit::setDueDateText(const QString& typed, const NodePtr& item) {
    const DueDateEntry entry = readDueDateEntry(typed);
    if (entry.kind == DueDateEntry::Kind::Refused) {
        // Shown after the key or click that ended the edit, whose refresh would replace it at once.
        _document.performLater(
            [document = &_document, refusal = entry.refusal] { document->setStatus(refusal); });
        return false;
    }
    setObjectValue(entry.kind == DueDateEntry::Kind::Date ? CellValue(entry.date) : CellValue(), key::due,
                   item);
    return true;
}

bool CellEditCommit::swallowsClick(int clickedRow, const QString& clickedColumn) {
    const std::optional<StoredCell> stored = std::exchange(_lastCellObjectSet, std::nullopt);
    if (!stored || !sameSecondAsNow(stored->moment) || stored->identifier != clickedColumn)
        return false;
    const NodePtr item = stored->item.lock();
    return item && clickedRow >= 0 && _document.outlineView().itemAtRow(clickedRow) == item;
}

void CellEditCommit::outlineViewAction(int clickedRow, const QString& clickedColumn) {
    // The click that ends a due-date or category edit must not open that cell again; a click on any
    // other cell acts at once.
    if (swallowsClick(clickedRow, clickedColumn))
        return;
    _document.finishAllEditing();
    if (clickedRow < 0 || clickedColumn.isEmpty())
        return;
    if (clickedColumn == key::name || clickedColumn == key::due || clickedColumn == key::category) {
        _document.outlineView().editColumn(clickedColumn, clickedRow, true);
    } else if (clickedColumn == key::notes) {
        InspectorView* inspector = _document.inspectorView();
        if (!inspector)
            return;
        inspector->setToolIdentifierToShow(InspectorToolNotes);
        if (inspector->isInspectorShowing())
            inspector->activateSelectedTool();
        else
            inspector->toggleInspector(true);
    }
}

void CellEditCommit::outlineViewDoubleClicked(int clickedRow, const QString& clickedColumn) {
    if (_document.outlineView().selectedRow() < 0 || clickedColumn.isEmpty())
        return;
    if (clickedColumn == key::icon)
        _document.itemCommands().doneItem();
    else if (clickedColumn == key::notes)
        outlineViewAction(clickedRow, clickedColumn);
}

void CellEditCommit::notesDidEndEditing(const QByteArray& rtfd) {
    OutlineView& outline = _document.outlineView();
    if (_document.syncingModel() || outline.selectedRows().size() != 1)
        return;
    const NodePtr item = VKselectedItem(outline);
    if (!item)
        return;
    _document.undoManager().setActionName(localized(QStringLiteral("notes")));
    const std::optional<RichText> text = rtfd.isEmpty() ? std::nullopt : decodeNotes(rtfd);
    // Notes that hold no text (an attachment counts as text) are removed, without a history entry.
    if (rtfd.isEmpty() || (text && text->plainText.isEmpty())) {
        _document.restoring().registerSetInDict(item, key::notes);
        item->remove(key::notes);
        return;
    }
    {
        const TardigoDocument::SyncingModel syncing(_document);
        _document.restoring().registerSetInDict(item, key::notes);
        item->set(key::notes, Value::data(rtfd));
        VKlogMessage(*item, localized(QStringLiteral("notes")));
    }
    if (_document.sorting().lastSortedTableColumn() == key::notes) {
        _document.sorting().sortUpdate();
        _document.updateUI();
    } else {
        outline.reloadItem(item);
    }
}

} // namespace tardigo
