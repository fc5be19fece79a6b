#pragma once

#include "alerts/message.h"
#include "model/value.h"

namespace tardigo {

class TardigoDocument;
struct QuickAddItem;

/// The commands that change the items of a list, each one undoable step but the purge.
class ItemCommands {
public:
    /// The inspector control that sets the completion.
    enum class CompletionControl { Slider, Checkbox };

    ItemCommands(const ItemCommands&) = delete;
    ItemCommands& operator=(const ItemCommands&) = delete;

    /// Appends a new item to the top level and opens its name for editing.
    void newItem();
    /// Appends a new item with that name to the top level and scrolls to it, without editing.
    void newItemWithName(const QString& name);
    /// The same with the category and due date a quick-add line gave.
    void newItemFrom(const QuickAddItem& described);
    /// Deletes the selected items and selects the row after them; undo puts each back in its own place.
    void deleteItem();
    /// Opens the selected item's name for editing.
    void renameItem();
    /// Toggles every selected item done or not done.
    void doneItem();
    /// The inspector's category: the selected item's new category. Ignored while the document itself
    /// changes the model, as the completion is.
    void categoryAction(const QString& category);
    /// The inspector's completion: the slider's value (0 to 1), or the checkbox's state (0 or 1).
    void completionAction(CompletionControl control, double value);
    /// Asks for confirmation, then removes every completed item; cannot be undone.
    void purgeCompletedItems();
    void purgeAnswered(MessageAnswer answer);

private:
    // Only its document makes one: each document has exactly one of its parts.
    friend class TardigoDocument;
    explicit ItemCommands(TardigoDocument& document) : _document(document) {}

    /// Appends a new item with these keys as one undoable step.
    NodePtr appendNewItem(std::initializer_list<std::pair<QString, Value>> keys);
    /// The first row after the last one that stays when these items leave, at its level or higher;
    /// else the nearest one before it that stays, or its parent.
    NodePtr itemAfter(const NodePtr& last, const std::vector<NodePtr>& leaving) const;

    TardigoDocument& _document;
};

} // namespace tardigo
