#pragma once

#include "model/value.h"
#include "outline/outline_columns.h"
#include "rich_text/rich_text.h"

#include <QDateTime>
#include <QStringList>

#include <memory>
#include <variant>
#include <vector>

class QMimeData;

namespace tardigo {

/// What an outline cell shows or an edited cell delivers: nothing; a node value (name, category,
/// completion, the icon's name); the due date; the notes as rich text.
using CellValue = std::variant<std::monostate, Value, QDateTime, RichText>;

/// The document seen from its outline's model, which owns no data: what each cell shows, and where
/// edits, drags and drops go. A null item stands for the invisible root.
class OutlineDataSource {
public:
    virtual ~OutlineDataSource() = default;

    virtual CellValue cellValue(Column column, const NodePtr& item) const = 0;
    /// Commits the value an ended cell edit delivers.
    virtual void setCellValue(const CellValue& object, Column column, const NodePtr& item) = 0;
    /// Commits the text typed into the item's due cell; false when it is no date and was refused.
    virtual bool setDueDateText(const QString& typed, const NodePtr& item) = 0;
    /// The formats a drag carries and a drop takes; none when the outline drags nothing.
    virtual QStringList transferTypes() const;
    /// Starts a drag of the items: the data it carries; none when the outline drags nothing.
    virtual std::unique_ptr<QMimeData> dragData(const std::vector<NodePtr>& items);
    /// A drop on item (null: the top level) before its shown child at childIndex, or at the end of its
    /// children for -1; false when refused.
    virtual bool acceptDrop(const QMimeData& data, const NodePtr& item, int childIndex);
};

} // namespace tardigo
