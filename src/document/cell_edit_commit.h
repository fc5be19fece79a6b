#pragma once

#include "outline/outline_columns.h"
#include "outline/outline_data_source.h"

#include <QDateTime>

#include <memory>

#include <optional>

namespace tardigo {

class TardigoDocument;

/// Edits made in the outline's cells and the notes tool, and the clicks that open the editors.
class CellEditCommit {
public:
    CellEditCommit(const CellEditCommit&) = delete;
    CellEditCommit& operator=(const CellEditCommit&) = delete;

    /// Stores an ended cell edit: undo step, history entry, stale minder bookkeeping, the past-date
    /// warning, and a re-sort on the next pass when the list is sorted by that column. A name left
    /// blank is refused: the item keeps its name, and the status line says so.
    void setCellValue(const CellValue& object, Column column, const NodePtr& item);
    /// Stores the due date a user typed into the item's due cell, as setCellValue does; an empty
    /// text clears it. A text that is no date is refused: the due date stays, the status line says
    /// why, and the answer is false so that the editor can stay open.
    bool setDueDateText(const QString& typed, const NodePtr& item);
    /// A single click on an item's cell; no item or no column is a click outside every row or
    /// column. `onSelectedRow`: the row was the one selected before the click, so that a click on its
    /// text edits it.
    void handleClick(const NodePtr& clicked, std::optional<Column> clickedColumn, bool onSelectedRow);
    /// A double click: the icon marks the items done, the notes open, a text cell is edited.
    void handleDoubleClick(const NodePtr& clicked, std::optional<Column> clickedColumn);
    /// The notes tool ended editing with this RTFD text, typed for this item. Ignored while the
    /// document itself is changing the model, and for an item the list no longer holds.
    void commitNotes(const NodePtr& item, const QByteArray& rtfd);

private:
    // Only its document makes one: each document has exactly one of its parts.
    friend class TardigoDocument;
    explicit CellEditCommit(TardigoDocument& document) : _document(document) {}

    /// Refuses a name left blank, telling the user; false for every other edit.
    bool refusesEmptyName(Column column, const Value& newValue, const Value& old);
    /// Shows the inspector's notes tool.
    void openNotes();
    /// Whether the click ends the edit of the cell just stored; it is asked once per click.
    bool swallowsClick(const NodePtr& clicked, std::optional<Column> clickedColumn);

    /// The cell whose due date or category was stored last, and when.
    struct StoredCell {
        std::weak_ptr<Dict> item;
        Column column;
        QDateTime moment;
    };

    TardigoDocument& _document;
    // The click that ended that edit lands on the same cell within the second, and is swallowed.
    std::optional<StoredCell> _lastCellObjectSet;
};

} // namespace tardigo
