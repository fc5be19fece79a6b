#include "document/cell_edit_commit.h"

#include "alerts/alert_queue.h"
#include "dates/due_date_entry.h"
#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "model/clock.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"
#include "model/tree_operations.h"
#include "outline/inspector_view.h"
#include "outline/outline_filter.h"
#include "outline/outline_selection.h"
#include "rich_text/notes_text.h"

#include <QCoreApplication>

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

void CellEditCommit::setCellValue(const CellValue& object, Column column, const NodePtr& item) {
    if (!item)
        return;
    const QString& identifier = columnIdentifier(column);
    const Value old = item->value(identifier);
    const bool wasCompleted = isCompleted(*item);
    if (column == Column::Due)
        forgetDueDateNotices(*item);
    const Value newValue = storedValue(object);
    const QDateTime* dueDate = column == Column::Due ? std::get_if<QDateTime>(&object) : nullptr;
    if (dueDate)
        _lastCellObjectSet = StoredCell{item, column, Clock::now()};
    if ((old.isNil() || !(old == newValue)) && refusesEmptyName(column, newValue, old))
        return;
    if (old.isNil() || !(old == newValue)) {
        if (dueDate && *dueDate <= Clock::now()) {
            if (AlertQueue* alerts = _document.alertQueue())
                alerts->addAlert(
                    QCoreApplication::translate("CellEditCommit", "Warning"),
                    QCoreApplication::translate("CellEditCommit", "You have set a date due in the past."),
                    false, std::nullopt, std::nullopt, std::nullopt);
        }
        //: Followed by the stored key of the cell edited ("set category"), in the undo name and the history.
        const QString actionName = QCoreApplication::translate("CellEditCommit", "set") + u' ' + identifier;
        _document.undoStack().setUndoText(actionName);
        _document.restoring().registerSetInDict(item, identifier);
        if (newValue.isNil()) {
            item->remove(identifier);
        } else {
            item->set(identifier, newValue);
            const QString* text = newValue.asString();
            if (!text || !text->isEmpty())
                appendToLog(*item, actionName);
            if (column == Column::Completion && isCompleted(*item)) {
                appendToLog(*item, QCoreApplication::translate("CellEditCommit", "completed"));
                if (filtersByCompletion(*_document.data()))
                    _document.selection().clearSelection();
            }
        }
        _document.refreshItem(item, identifier, wasCompleted);
        if (_document.sorting().lastSortedColumn() == column)
            _document.sorting().sortUpdateLater();
    }
    if (column == Column::Category)
        _lastCellObjectSet = StoredCell{item, column, Clock::now()};
}

bool CellEditCommit::refusesEmptyName(Column column, const Value& newValue, const Value& old) {
    const QString* name = newValue.asString();
    if (column != Column::Name || !name || !name->trimmed().isEmpty())
        return false;
    // A blank name would leave a row that cannot be told or found again.
    const QString* kept = old.asString();
    const QString refusal =
        QCoreApplication::translate("CellEditCommit", "An item’s name cannot be empty, so it stays “%1”.")
            .arg(kept ? *kept : QString());
    // Shown after the key or click that ended the edit, whose refresh would replace it at once.
    _document.performLater([document = &_document, refusal] { document->setStatus(refusal); });
    return true;
}

bool CellEditCommit::setDueDateText(const QString& typed, const NodePtr& item) {
    const DueDateEntry entry = readDueDateEntry(typed);
    if (entry.kind == DueDateEntry::Kind::Refused) {
        // Shown after the key or click that ended the edit, whose refresh would replace it at once.
        _document.performLater(
            [document = &_document, refusal = entry.refusal] { document->setStatus(refusal); });
        return false;
    }
    setCellValue(entry.kind == DueDateEntry::Kind::Date ? CellValue(entry.date) : CellValue(), Column::Due,
                 item);
    return true;
}

bool CellEditCommit::swallowsClick(const NodePtr& clicked, std::optional<Column> clickedColumn) {
    const std::optional<StoredCell> stored = std::exchange(_lastCellObjectSet, std::nullopt);
    if (!stored || !sameSecondAsNow(stored->moment) || stored->column != clickedColumn)
        return false;
    const NodePtr item = stored->item.lock();
    return item && clicked == item;
}

void CellEditCommit::handleClick(const NodePtr& clicked, std::optional<Column> clickedColumn,
                                 bool onSelectedRow) {
    // The click that ends a due-date or category edit must not open that cell again; a click on any
    // other cell acts at once.
    if (swallowsClick(clicked, clickedColumn))
        return;
    _document.finishAllEditing();
    if (!clicked || !clickedColumn)
        return;
    // As on the desktop: a click selects a row, a click on the row already selected edits its text.
    if (isColumnTypedIn(*clickedColumn) && onSelectedRow)
        _document.editCell(clicked, *clickedColumn, true);
    else if (clickedColumn == Column::Notes)
        openNotes();
}

void CellEditCommit::openNotes() {
    InspectorView* inspector = _document.inspectorView();
    if (!inspector)
        return;
    inspector->setToolIdentifierToShow(InspectorToolNotes);
    if (inspector->isInspectorShowing())
        inspector->activateSelectedTool();
    else
        inspector->toggleInspector(true);
}

void CellEditCommit::handleDoubleClick(const NodePtr& clicked, std::optional<Column> clickedColumn) {
    if (!_document.selection().lastSelectedItem() || !clicked || !clickedColumn)
        return;
    if (clickedColumn == Column::Icon)
        _document.itemCommands().doneItem();
    else if (clickedColumn == Column::Notes)
        openNotes();
    else if (isColumnTypedIn(*clickedColumn))
        _document.editCell(clicked, *clickedColumn, true);
}

void CellEditCommit::commitNotes(const NodePtr& item, const QByteArray& rtfd) {
    // The notes go to the item they were typed for, wherever the selection has gone since, as long
    // as the list still holds it.
    if (_document.syncingModel() || !item || findIdenticalChild(_document.data(), *item) != item)
        return;
    const bool wasCompleted = isCompleted(*item);
    _document.undoStack().setUndoText(QCoreApplication::translate("CellEditCommit", "notes"));
    const std::optional<RichText> text = rtfd.isEmpty() ? std::nullopt : decodeNotes(rtfd);
    {
        const TardigoDocument::SyncingModel syncing(_document);
        _document.restoring().registerSetInDict(item, key::notes);
        // Notes that hold no text (an attachment counts as text) are removed, without a history entry.
        if (rtfd.isEmpty() || (text && text->plainText.isEmpty())) {
            item->remove(key::notes);
        } else {
            item->set(key::notes, Value::data(rtfd));
            appendToLog(*item, QCoreApplication::translate("CellEditCommit", "notes"));
        }
    }
    // The tools show the notes as stored from now on, should they be shown again.
    if (_document.sorting().lastSortedColumn() == Column::Notes) {
        emit _document.itemChanged(item, {key::notes});
        _document.sorting().sortUpdate();
        _document.updateUI();
    } else {
        _document.refreshItem(item, key::notes, wasCompleted);
    }
}

} // namespace tardigo
