#include "document/item_commands.h"

#include "alerts/alert_queue.h"
#include "document/document_window.h"
#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "model/core_log.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"
#include "model/tree_operations.h"
#include "outline/icon_rules.h"
#include "outline/outline_filter.h"
#include "outline/outline_item_model.h"
#include "outline/outline_selection.h"
#include "platform/new_item.h"
#include "quick_add/quick_add_text.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSet>

#include <algorithm>

namespace tardigo {

NodePtr ItemCommands::appendNewItem(std::initializer_list<std::pair<QString, Value>> keys) {
    NodePtr item = newToDoItem();
    IconRules::setMostRecentlyCreatedItem(item);
    for (const auto& [key, value] : keys)
        if (!value.isNil())
            item->set(key, value);
    _document.finishAllEditing();
    const TardigoDocument::SyncingModel syncing(_document);
    const NodePtr& root = _document.data();
    const size_t place = childrenOf(*root) ? size_t(childrenOf(*root)->size()) : 0;
    _document.edits().insert(root, place, {item});
    _document.undoStack().setUndoText(QCoreApplication::translate("ItemCommands", "Add Item"));
    _document.restoring().registerPutBack({{root, place, item, {}}}, {});
    _document.refresh({1, 0});
    return item;
}

void ItemCommands::newItem() {
    const NodePtr item = appendNewItem({});
    _document.setSearchAsideFor({item}); // else an empty item matches no search, and hides unnamed
    _document.editCell(item, Column::Name, true);
}

void ItemCommands::newItemWithName(const QString& name) {
    newItemFrom(QuickAddItem{name, QString(), std::nullopt});
}

void ItemCommands::newItemFrom(const QuickAddItem& described) {
    const NodePtr item =
        appendNewItem({{key::name, Value(described.name)},
                       {key::category, described.category.isEmpty() ? Value() : Value(described.category)},
                       {key::due, described.due ? Value(storedDateString(*described.due)) : Value()}});
    emit _document.itemsToReveal({item});
}

NodePtr ItemCommands::itemAfter(const NodePtr& last, const std::vector<NodePtr>& leaving) const {
    const OutlineItemModel& outline = _document.outlineModel();
    QSet<const Dict*> gone;
    for (const NodePtr& item : leaving)
        gone.insert(item.get());
    // From the last row up through its ancestors: the first sibling after it that stays, at its level
    // or higher, is the next row that does; else the nearest before it, or the parent it stands in.
    std::vector<NodePtr> chain = outline.ancestorsOf(last.get());
    chain.push_back(last);
    const auto leavesWithAncestor = [&](size_t level) {
        return std::any_of(chain.begin(), chain.begin() + qsizetype(level),
                           [&](const NodePtr& ancestor) { return gone.contains(ancestor.get()); });
    };
    const auto siblingsAt = [&](size_t level) {
        return outline.shownChildren(level == 0 ? nullptr : chain[level - 1].get());
    };
    for (size_t level = chain.size(); level-- > 0;) {
        if (leavesWithAncestor(level))
            continue;
        const std::vector<NodePtr> siblings = siblingsAt(level);
        const auto at = std::find(siblings.begin(), siblings.end(), chain[level]);
        for (auto next = at == siblings.end() ? at : at + 1; next != siblings.end(); ++next)
            if (!gone.contains(next->get()))
                return *next;
    }
    for (size_t level = chain.size(); level-- > 0;) {
        if (leavesWithAncestor(level))
            continue;
        const std::vector<NodePtr> siblings = siblingsAt(level);
        auto at = std::find(siblings.begin(), siblings.end(), chain[level]);
        while (at != siblings.begin())
            if (!gone.contains((--at)->get()))
                return *at;
        if (level > 0 && !gone.contains(chain[level - 1].get()))
            return chain[level - 1];
    }
    return nullptr;
}

void ItemCommands::deleteItem() {
    OutlineSelectionModel& selection = _document.selection();
    const std::vector<NodePtr> items = selection.selectedItems();
    if (items.empty())
        return;
    _document.finishAllEditing();
    const NodePtr next = itemAfter(items.back(), items);
    _document.undoStack().setUndoText(QCoreApplication::translate("ItemCommands", "delete"));
    // Undoing puts every item back in its own place, under its own parent.
    // Each item leaves the parent it stands under, the last first, so that an item inside another
    // selected one goes before it and the earlier ones keep their places.
    std::vector<RemovedChild> removed;
    {
        const TardigoDocument::SyncingModel syncing(_document);
        const TreeEdits::Batch batch(_document.edits(), items.size());
        for (auto item = items.rbegin(); item != items.rend(); ++item) {
            std::vector<NodePtr> ancestors = _document.outlineModel().ancestorsOf(item->get());
            const NodePtr parent = ancestors.empty() ? _document.data() : ancestors.back();
            _document.edits().remove(parent, item->get(), std::move(ancestors), removed);
        }
        selection.clearSelection();
    }
    _document.restoring().registerPutBack({}, removed);
    ItemCounts gone;
    for (const RemovedChild& child : removed)
        if (const DictPtr item = child.item.asDict())
            gone += countItemAndChildren(*item);
    _document.refresh(-gone);
    // The arrow keys go on from the next row.
    if (next)
        _document.revealItems({next});
}

void ItemCommands::renameItem() {
    if (const NodePtr item = _document.selection().lastSelectedItem())
        _document.editCell(item, Column::Name, true);
}

void ItemCommands::doneItem() {
    const std::vector<NodePtr> items = _document.selection().selectedItems();
    _document.finishAllEditing();
    ItemCounts completed;
    {
        const TardigoDocument::SyncingModel syncing(_document);
        for (const NodePtr& item : items) {
            const UndoGroup step(_document.undoStack(),
                                 QCoreApplication::translate("ItemCommands", "set completion"));
            const bool wasCompleted = isCompleted(*item);
            _document.restoring().registerSetInDict(item, key::completion);
            item->set(key::completion, Value::boolean(!wasCompleted));
            completed.complete += wasCompleted ? -1 : 1;
            if (!wasCompleted)
                appendToLog(*item, QCoreApplication::translate("ItemCommands", "completed"));
            // Under the hide-completed filter the row leaves, and nothing stays selected.
            if (!wasCompleted && filtersByCompletion(*_document.data()))
                _document.selection().clearSelection();
            emit _document.itemChanged(item, {key::completion});
        }
    }
    _document.refresh(completed);
}

void ItemCommands::categoryAction(const QString& category) {
    // The inspector's refresh moves its controls too; only what the user does changes the item.
    const NodePtr item = _document.syncingModel() ? nullptr : _document.selection().lastSelectedItem();
    if (!item)
        return;
    if (const QString* current = item->value(key::category).asString(); current && *current == category)
        return;
    const QString actionName = QCoreApplication::translate("ItemCommands", "set category");
    _document.undoStack().setUndoText(actionName);
    _document.restoring().registerSetInDict(item, key::category);
    {
        const TardigoDocument::SyncingModel syncing(_document);
        item->set(key::category, category);
        if (!category.isEmpty())
            appendToLog(*item, actionName);
        emit _document.itemChanged(item, {key::category});
        if (_document.sorting().lastSortedColumn() == Column::Category)
            _document.sorting().sortUpdate();
    }
    _document.updateUI();
}

void ItemCommands::completionAction(CompletionControl control, double value) {
    if (_document.syncingModel())
        return;
    _document.finishAllEditing();
    const NodePtr item = _document.selection().lastSelectedItem();
    if (!item)
        return;
    const QString actionName = QCoreApplication::translate("ItemCommands", "set completion");
    _document.undoStack().setUndoText(actionName);
    appendToLog(*item, actionName);
    _document.restoring().registerSetInDict(item, key::completion);
    const Value completion =
        control == CompletionControl::Slider ? Value::float32(value) : Value::boolean(value != 0.0);
    {
        const TardigoDocument::SyncingModel syncing(_document);
        item->set(key::dateCompleted, storedDateStringNow());
        item->set(key::completion, completion);
        emit _document.itemChanged(item, {key::completion});
        if (_document.sorting().lastSortedColumn() == Column::Completion)
            _document.sorting().sortUpdate();
    }
    _document.updateUI();
}

void ItemCommands::purgeCompletedItems() {
    DocumentWindow* window = _document.window();
    AlertQueue* alerts = _document.alertQueue();
    if (!window || !alerts) {
        qCWarning(lcDocument) << "no window to confirm purging the completed items of"
                              << _document.displayName();
        return;
    }
    if (!window->isVisible())
        window->showWindows();
    QPointer<TardigoDocument> document(&_document);
    Message question;
    question.title = QCoreApplication::translate("ItemCommands", "Please Confirm");
    question.text = QCoreApplication::translate(
        "ItemCommands", "Purge all completed items in this list? There is no undo for this action.");
    question.acceptButton = QCoreApplication::translate("ItemCommands", "OK");
    question.rejectButton = QCoreApplication::translate("ItemCommands", "Cancel");
    // What cannot be undone is not what Return does.
    question.rejectIsDefault = true;
    alerts->addAlert(question, [document](MessageAnswer answer) {
        if (document)
            document->itemCommands().purgeAnswered(answer);
    });
}

void ItemCommands::purgeAnswered(MessageAnswer answer) {
    if (answer.role == MessageRole::Reject)
        return;
    _document.finishAllEditing();
    {
        const TardigoDocument::SyncingModel syncing(_document);
        _document.edits().rearrange({}, [this] { purgeCompleted(*_document.data()); });
    }
    _document.updateUI();
    _document.countChange(TardigoDocument::ChangeKind::Done);
}

} // namespace tardigo
