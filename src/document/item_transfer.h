#pragma once

#include "model/value.h"

#include <memory>
#include <optional>
#include <vector>

class QMimeData;

namespace tardigo {

class TardigoDocument;

/// Items that leave or join the list whole: dragged and dropped, cut, copied and pasted. A drag
/// back into the list it came from moves the very items; anything else joins as copies, and text
/// from other programs as new items. Every drop and paste is one undoable step and ends sorting by a
/// column, since it places items by hand.
class ItemTransfer {
public:
    ItemTransfer(const ItemTransfer&) = delete;
    ItemTransfer& operator=(const ItemTransfer&) = delete;

    /// Starts a drag of the items (the selected rows', in row order; those inside another dragged
    /// item travel with it): remembers them and answers the data the drag carries.
    std::unique_ptr<QMimeData> dragData(const std::vector<NodePtr>& items);

    /// Whether a drop or a paste takes anything from the data.
    static bool canTake(const QMimeData& data);
    /// A drop on item (null: the top level) before its shown child at childIndex, or at the end of its
    /// children for -1 or an index past the last shown child. False, changing nothing, for data it
    /// does not take and for a move into one of the moved items.
    bool acceptDrop(const QMimeData& data, const NodePtr& item, int childIndex);

    /// The selected items as the clipboard carries them; null when none is selected.
    std::unique_ptr<QMimeData> copyItems() const;
    /// The same, and the items leave the list.
    std::unique_ptr<QMimeData> cutItems();
    /// Copies of what the data carries, put after the selected item (at the end of the list when
    /// none is selected) and selected; false when it carries nothing to take.
    bool pasteItems(const QMimeData& data);

private:
    // Only its document makes one: each document has exactly one of its parts.
    friend class TardigoDocument;
    explicit ItemTransfer(TardigoDocument& document);

    /// The items the data brings into the list: copies of items, or new items from its text.
    std::optional<std::vector<NodePtr>> newItemsFrom(const QMimeData& data) const;
    /// Places inserted items by hand, so a sorted list is sorted no more.
    void endSorting();

    TardigoDocument& _document;
    QString _source; // names this list in the data of its drags
    std::vector<NodePtr> _draggedItems;
};

} // namespace tardigo
