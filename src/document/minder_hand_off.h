#pragma once

#include "minder/item_status.h"
#include "minder/remind_again.h"
#include "model/node_places.h"
#include "model/value.h"

#include <chrono>

namespace tardigo {

class TardigoDocument;

/// The document's side of a minder notice: recording it in the tree, and "View Item".
class MinderHandOff {
public:
    MinderHandOff(const MinderHandOff&) = delete;
    MinderHandOff& operator=(const MinderHandOff&) = delete;

    /// Records a notice for the document's node matching `node`: its minder timestamp, the item
    /// being reminded of (status 3) for a while, and a later due date the minder worked out.
    void minderWithNode(const NodePtr& node, const QString& message, ItemStatus status);
    /// The reminded item shows its usual icon again.
    void clearCurrentReminderItem();
    /// Selects the item of a notice (a copy carrying "node status") and shows its inspector tool.
    void minderViewItem(const NodePtr& context);
    /// Sets the item of a notice to remind the user again at the time chosen, as one step that can
    /// be undone and a line of its history; false when the item is no longer in the list.
    bool remindAgain(const NodePtr& context, RemindAgain when);

    /// The item that got the latest reminder, which shows the reminder icon for a while.
    const NodePtr& currentReminderItem() const { return _currentReminderItem; }
    /// How long that icon shows.
    std::chrono::milliseconds reminderClearInterval() const { return _reminderClearInterval; }
    void setReminderClearInterval(std::chrono::milliseconds interval) { _reminderClearInterval = interval; }

private:
    // Only its document makes one: each document has exactly one of its parts.
    friend class TardigoDocument;
    explicit MinderHandOff(TardigoDocument& document) : _document(document) {}

    TardigoDocument& _document;
    NodePlaces _places; // where the document's nodes stand, to find each announced one directly
    NodePtr _currentReminderItem;
    std::chrono::milliseconds _reminderClearInterval{std::chrono::seconds(120)};
};

} // namespace tardigo
