#include "document/item_commands.h"

#include "alerts/alert_queue.h"
#include "document/document_log.h"
#include "document/document_window.h"
#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"
#include "model/tree_operations.h"
#include "outline/icon_rules.h"
#include "outline/outline_filter.h"
#include "outline/outline_view.h"
#include "platform/localized.h"
#include "platform/new_item.h"
#include "quick_add/quick_add_text.h"

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
    _document.undoManager().setActionName(localized(QStringLiteral("Add Item")));
    _document.restoring().registerPutBack({{root, place, item, {}}}, {});
    _document.refreshChildrenOf({root}, {1, 0});
    return item;
}

void ItemCommands::newItem() {
    const NodePtr item = appendNewItem({});
    OutlineView& outline = _document.outlineView();
    _document.setSearchAsideFor({item}); // else an empty item matches no search, and hides unnamed
    outline.editItem(item, key::name, true);
}

void ItemCommands::newItemWithName(const QString& name) {
    newItemFrom(QuickAddItem{name, QString(), std::nullopt});
}

void ItemCommands::newItemFrom(const QuickAddItem& described) {
    const NodePtr item =
        appendNewItem({{key::name, Value(described.name)},
                       {key::category, described.category.isEmpty() ? Value() : Value(described.category)},
                       {key::due, described.due ? Value(storedDateString(*described.due)) : Value()}});
    _document.outlineView().scrollItemToVisible(item);
}

NodePtr ItemCommands::itemAfter(const std::vector<NodePtr>& leaving) const {
    const OutlineView& outline = _document.outlineView();
    const std::vector<int> rows = outline.selectedRows();
    if (rows.empty())
        return nullptr;
    QSet<const Dict*> gone;
    for (const NodePtr& item : leaving)
        gone.insert(item.get());
    const auto stays = [&](const NodePtr& item) {
        const std::vector<NodePtr> ancestors = outline.ancestorsOfItem(item);
        return !gone.contains(item.get()) &&
               std::none_of(ancestors.begin(), ancestors.end(),
                            [&](const NodePtr& ancestor) { return gone.contains(ancestor.get()); });
    };
    for (int row = rows.back() + 1; NodePtr next = outline.itemAtRow(row); ++row)
        if (stays(next))
            return next;
    for (int row = rows.back() - 1; row >= 0; --row)
        if (NodePtr before = outline.itemAtRow(row); before && stays(before))
            return before;
    return nullptr;
}

void ItemCommands::deleteItem() {
    OutlineView& outline = _document.outlineView();
    const std::vector<NodePtr> items = outline.selectedItems();
    if (items.empty())
        return;
    _document.finishAllEditing();
    const NodePtr next = itemAfter(items);
    _document.undoManager().setActionName(localized(QStringLiteral("delete")));
    // Undoing puts every item back in its own place, under its own parent.
    // Each item leaves the parent the outline shows it under, the last row first, so that an item
    // inside another selected one goes before it and the earlier rows keep their places.
    std::vector<RemovedChild> removed;
    {
        const TreeEdits::Batch batch(_document.edits(), items.size());
        for (auto item = items.rbegin(); item != items.rend(); ++item) {
            std::vector<NodePtr> ancestors = outline.ancestorsOfItem(*item);
            const NodePtr parent = ancestors.empty() ? _document.data() : ancestors.back();
            _document.edits().remove(parent, item->get(), std::move(ancestors), removed);
        }
    }
    _document.restoring().registerPutBack({}, removed);
    outline.deselectAll();
    ItemCounts gone;
    std::vector<NodePtr> parents;
    for (const RemovedChild& child : removed) {
        if (const DictPtr item = child.item.asDict())
            gone += countItemAndChildren(*item);
        parents.push_back(child.parent);
    }
    _document.refreshChildrenOf(parents, -gone);
    // The arrow keys go on from the next row.
    if (next) {
        outline.selectItems({next});
        outline.scrollItemToVisible(next);
    }
}

void ItemCommands::renameItem() {
    OutlineView& outline = _document.outlineView();
    const int row = outline.selectedRow();
    if (row >= 0)
        outline.editColumn(key::name, row, true);
}

void ItemCommands::doneItem() {
    OutlineView& outline = _document.outlineView();
    const std::vector<NodePtr> items = outline.selectedItems();
    _document.finishAllEditing();
    {
        const TardigoDocument::SyncingModel syncing(_document);
        for (const NodePtr& item : items) {
            const UndoGroup step(_document.undoManager(), localized(QStringLiteral("set completion")));
            const bool wasCompleted = isCompleted(*item);
            _document.restoring().registerSetInDict(item, key::completion);
            item->set(key::completion, Value::boolean(!wasCompleted));
            emit _document.itemChanged(item, {key::completion});
            if (!wasCompleted) {
                appendToLog(*item, localized(QStringLiteral("completed")));
                if (filtersByCompletion(*_document.data()))
                    outline.deselectAll();
            }
        }
    }
    // Under the hide-completed filter rows leave or come back wherever the items stand.
    if (filtersByCompletion(*_document.data())) {
        _document.updateUI();
        return;
    }
    for (const NodePtr& item : items)
        _document.refreshItem(item, key::completion, !isCompleted(*item));
}

void ItemCommands::categoryAction(const QString& category) {
    // The inspector's refresh moves its controls too; only what the user does changes the item.
    const NodePtr item = _document.syncingModel() ? nullptr : _document.outlineView().lastSelectedItem();
    if (!item)
        return;
    if (const QString* current = item->value(key::category).asString(); current && *current == category)
        return;
    const QString actionName = localized(QStringLiteral("set category"));
    _document.undoManager().setActionName(actionName);
    _document.restoring().registerSetInDict(item, key::category);
    {
        const TardigoDocument::SyncingModel syncing(_document);
        item->set(key::category, category);
        if (!category.isEmpty())
            appendToLog(*item, actionName);
        emit _document.itemChanged(item, {key::category});
        if (_document.sorting().lastSortedColumn() == key::category)
            _document.sorting().sortUpdate();
    }
    _document.updateUI();
}

void ItemCommands::completionAction(CompletionControl control, double value) {
    if (_document.syncingModel())
        return;
    _document.finishAllEditing();
    const NodePtr item = _document.outlineView().lastSelectedItem();
    if (!item)
        return;
    const QString actionName = localized(QStringLiteral("set completion"));
    _document.undoManager().setActionName(actionName);
    appendToLog(*item, actionName);
    _document.restoring().registerSetInDict(item, key::completion);
    const Value completion =
        control == CompletionControl::Slider ? Value::float32(value) : Value::boolean(value != 0.0);
    {
        const TardigoDocument::SyncingModel syncing(_document);
        item->set(key::dateCompleted, storedDateStringNow());
        item->set(key::completion, completion);
        emit _document.itemChanged(item, {key::completion});
        if (_document.sorting().lastSortedColumn() == key::completion)
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
    AlertSheet question;
    question.title = localized(QStringLiteral("Please Confirm"));
    question.message = localized(
        QStringLiteral("Purge all completed items in this list? There is no undo for this action."));
    question.defaultButton = localized(QStringLiteral("OK"));
    question.alternateButton = localized(QStringLiteral("Cancel"));
    // What cannot be undone is not what Return does.
    question.alternateIsDefault = true;
    alerts->addAlert(question, [document](AlertReturn answer) {
        if (document)
            document->itemCommands().purgeAnswered(answer);
    });
}

void ItemCommands::purgeAnswered(AlertReturn answer) {
    if (answer == AlertReturn::Alternate)
        return;
    OutlineView& outline = _document.outlineView();
    const std::vector<NodePtr> selected = outline.selectedItems();
    _document.finishAllEditing();
    _document.edits().rearrange({}, [this] { purgeCompleted(*_document.data()); });
    _document.updateUI();
    outline.selectItems(selected);
    _document.countChange(TardigoDocument::ChangeKind::Done);
}

} // namespace tardigo
