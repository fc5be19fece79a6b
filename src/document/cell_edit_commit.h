#pragma once

#include "document/outline_data_source.h"

#include <QDateTime>

#include <optional>

namespace tardigo {

class TardigoDocument;

/// Edits made in the outline's cells and the notes tool, and the clicks that open the editors.
class CellEditCommit {
public:
    CellEditCommit(const CellEditCommit&) = delete;
    CellEditCommit& operator=(const CellEditCommit&) = delete;

    /// Stores an ended cell edit: undo step, history entry, stale minder bookkeeping, the past-date
    /// warning, and a re-sort on the next pass when the list is sorted by that column.
    void setObjectValue(const CellValue& object, const QString& identifier, const NodePtr& item);
    /// A single click on a cell; an empty column is a click outside every column.
    void outlineViewAction(int clickedRow, const QString& clickedColumn);
    void outlineViewDoubleClicked(int clickedRow, const QString& clickedColumn);
    /// The notes tool ended editing with this RTFD text.
    void notesDidEndEditing(const QByteArray& rtfd);

private:
    // Only its document makes one: each document has exactly one of its parts.
    friend class TardigoDocument;
    explicit CellEditCommit(TardigoDocument& document) : _document(document) {}

    bool swallowsClick() const;

    TardigoDocument& _document;
    // When a due date and a category were last stored: the click that ended that edit is swallowed.
    std::optional<QDateTime> _lastDateDueObjectSet;
    std::optional<QDateTime> _lastCategoryObjectSet;
};

} // namespace tardigo
