#include "document/tree_shaping.h"

#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "model/core_log.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/tree_operations.h"
#include "outline/icon_rules.h"
#include "outline/outline_item_model.h"
#include "outline/outline_selection.h"
#include "platform/new_item.h"

#include <QCoreApplication>
#include <QSet>

#include <algorithm>

namespace tardigo {

namespace {

/// Whether the very node stands in the subtree of item, item itself included.
bool holdsNode(const NodePtr& item, const Dict* node) {
    std::vector<const Dict*> pending{item.get()};
    while (!pending.empty()) {
        const Dict* next = pending.back();
        pending.pop_back();
        if (next == node)
            return true;
        if (const ArrayPtr children = childrenOf(*next))
            for (const Value& child : children->items)
                if (const Dict* c = child.dictAddress())
                    pending.push_back(c);
    }
    return false;
}

/// The place of a node among the children, by identity; -1 when it is not there.
qsizetype placeOf(const Array& children, const Dict* node) {
    const auto found = std::find_if(children.items.begin(), children.items.end(),
                                    [&](const Value& child) { return child.dictAddress() == node; });
    return found == children.items.end() ? -1 : found - children.items.begin();
}

} // namespace

std::vector<RemovedChild> TreeShaping::place(const std::vector<NodePtr>& items, const NodePtr& parent,
                                             const NodePtr& anchor, const std::vector<NodePtr>& chain) {
    const ArrayPtr children = childrenOf(*parent);
    const qsizetype anchorPlace = anchor && children ? placeOf(*children, anchor.get()) : -1;
    const size_t at = anchorPlace >= 0 ? size_t(anchorPlace) : children ? size_t(children->size()) : 0;
    _document.edits().insert(parent, at, std::vector<Value>(items.begin(), items.end()));
    std::vector<RemovedChild> standing;
    for (size_t i = 0; i < items.size(); ++i)
        standing.push_back({parent, at + i, items[i], chain});
    return standing;
}

std::vector<RemovedChild>
TreeShaping::placesAsRemoved(const std::vector<NodePtr>& items,
                             const std::vector<std::vector<NodePtr>>& ancestors) const {
    const NodePtr& root = _document.data();
    std::vector<RemovedChild> removed;
    std::vector<size_t> places; // where each stood before any left
    for (size_t i = 0; i < items.size(); ++i) {
        std::vector<NodePtr> chain = ancestors[i];
        NodePtr from = chain.empty() ? root : chain.back();
        qsizetype at = childrenOf(*from) ? placeOf(*childrenOf(*from), items[i].get()) : -1;
        if (at < 0) { // not where the outline showed it: wherever it is
            const auto found = ancestorsInTree({items[i].get()}, *root);
            if (found.empty())
                continue;
            chain = found.begin()->second;
            from = chain.empty() ? root : chain.back();
            at = placeOf(*childrenOf(*from), items[i].get());
        }
        // Each earlier item taken from before it in the same list moved it up one place.
        size_t index = size_t(at);
        for (size_t j = 0; j < removed.size(); ++j)
            if (removed[j].parent == from && places[j] < size_t(at))
                --index;
        places.push_back(size_t(at));
        removed.push_back({from, index, items[i], std::move(chain)});
    }
    return removed;
}

NodePtr TreeShaping::parentOf(const NodePtr& item) const {
    const std::vector<NodePtr> ancestors = _document.outlineModel().ancestorsOf(item.get());
    return ancestors.empty() ? _document.data() : ancestors.back();
}

std::vector<NodePtr> TreeShaping::chainTo(const NodePtr& parent) const {
    if (!parent || parent == _document.data())
        return {};
    std::vector<NodePtr> chain = _document.outlineModel().ancestorsOf(parent.get());
    chain.push_back(parent);
    return chain;
}

bool TreeShaping::fitsUnder(const std::vector<NodePtr>& items, const std::vector<NodePtr>& chain) const {
    const int level = int(chain.size());
    const bool fits = std::all_of(items.begin(), items.end(), [&](const NodePtr& item) {
        return level + itemLevels(*item) <= kMostItemLevels;
    });
    if (!fits)
        qCWarning(lcDocument) << "not nesting items deeper than" << kMostItemLevels << "levels";
    return fits;
}

std::vector<NodePtr> TreeShaping::withoutNestedItems(const std::vector<NodePtr>& items) const {
    const OutlineItemModel& outline = _document.outlineModel();
    QSet<const Dict*> chosen;
    for (const NodePtr& item : items)
        chosen.insert(item.get());
    std::vector<NodePtr> top;
    for (const NodePtr& item : items) {
        const std::vector<NodePtr> ancestors = outline.ancestorsOf(item.get());
        if (std::none_of(ancestors.begin(), ancestors.end(),
                         [&](const NodePtr& ancestor) { return chosen.contains(ancestor.get()); }))
            top.push_back(item);
    }
    return top;
}

bool TreeShaping::moveItems(const std::vector<NodePtr>& items, const NodePtr& parentOrTop,
                            const NodePtr& anchor) {
    const NodePtr& root = _document.data();
    const NodePtr parent = parentOrTop ? parentOrTop : root;
    if (items.empty() || std::any_of(items.begin(), items.end(),
                                     [&](const NodePtr& item) { return holdsNode(item, parent.get()); }))
        return false;
    const std::vector<NodePtr> chain = chainTo(parent);
    if (!fitsUnder(items, chain))
        return false;
    _document.finishAllEditing();
    // Where each item stands, asked before anything moves.
    std::vector<std::vector<NodePtr>> ancestors;
    for (const NodePtr& item : items)
        ancestors.push_back(_document.outlineModel().ancestorsOf(item.get()));
    std::vector<NodePtr> parents{parent};
    {
        const TardigoDocument::SyncingModel syncing(_document);
        const std::vector<RemovedChild> removed = placesAsRemoved(items, ancestors);
        {
            const TreeEdits::Batch batch(_document.edits(), removed.size());
            for (const RemovedChild& child : removed)
                _document.edits().move(child.parent, child.item.dictAddress(), parent, anchor.get());
        }
        std::vector<RemovedChild> standing;
        for (const RemovedChild& child : removed) {
            parents.push_back(child.parent);
            standing.push_back(
                {parent, size_t(placeOf(*childrenOf(*parent), child.item.dictAddress())), child.item, chain});
        }
        _document.restoring().registerPutBack(standing, removed);
    }
    _document.updateDisplay();
    return true;
}

bool TreeShaping::insertItems(const std::vector<NodePtr>& items, const NodePtr& parentOrTop,
                              const NodePtr& anchor) {
    const NodePtr parent = parentOrTop ? parentOrTop : _document.data();
    const std::vector<NodePtr> chain = chainTo(parent);
    if (items.empty() || !fitsUnder(items, chain))
        return false;
    _document.finishAllEditing();
    ItemCounts added;
    for (const NodePtr& item : items)
        added += countItemAndChildren(*item);
    {
        const TardigoDocument::SyncingModel syncing(_document);
        _document.restoring().registerPutBack(place(items, parent, anchor, chain), {});
    }
    _document.refresh(added);
    return true;
}

void TreeShaping::shapeSelection(const char* actionName,
                                 const std::function<void(const std::vector<NodePtr>&)>& shape) {
    const std::vector<NodePtr> items = withoutNestedItems(_document.selection().selectedItems());
    if (items.empty())
        return;
    _document.finishAllEditing();
    {
        const UndoGroup step(_document.undoStack(), QCoreApplication::translate("TreeShaping", actionName));
        shape(items);
    }
    // Still selected where they went, in view: an item indented into a closed one opens it.
    _document.revealItems(items);
}

void TreeShaping::indentItems() {
    shapeSelection(QT_TRANSLATE_NOOP("TreeShaping", "Indent"), [this](const std::vector<NodePtr>& items) {
        QSet<const Dict*> chosen;
        for (const NodePtr& item : items)
            chosen.insert(item.get());
        // Runs of items that go into the same sibling, in order.
        std::vector<std::pair<NodePtr, std::vector<NodePtr>>> runs;
        for (const NodePtr& item : items) {
            const NodePtr parent = parentOf(item);
            const std::vector<NodePtr> shown = _document.outlineModel().shownChildren(parent.get());
            NodePtr target;
            for (auto sibling = std::find(shown.begin(), shown.end(), item);
                 sibling != shown.begin() && !target;)
                if (!chosen.contains((--sibling)->get()))
                    target = *sibling;
            if (!target)
                continue;
            if (runs.empty() || runs.back().first != target)
                runs.push_back({target, {}});
            runs.back().second.push_back(item);
        }
        for (const auto& [target, run] : runs)
            moveItems(run, target, nullptr);
    });
}

void TreeShaping::outdentItems() {
    shapeSelection(QT_TRANSLATE_NOOP("TreeShaping", "Outdent"), [this](const std::vector<NodePtr>& items) {
        std::vector<std::pair<NodePtr, std::vector<NodePtr>>> runs; // by the parent they leave
        for (const NodePtr& item : items) {
            const NodePtr parent = parentOf(item);
            if (parent == _document.data())
                continue;
            if (runs.empty() || runs.back().first != parent)
                runs.push_back({parent, {}});
            runs.back().second.push_back(item);
        }
        for (const auto& [parent, run] : runs) {
            const NodePtr grandparent = parentOf(parent);
            moveItems(run, grandparent, childAfter(*grandparent, parent.get()));
        }
    });
}

void TreeShaping::moveWithinParents(const char* actionName, bool up) {
    shapeSelection(actionName, [this, up](const std::vector<NodePtr>& items) {
        QSet<const Dict*> chosen;
        std::vector<NodePtr> parents;
        for (const NodePtr& item : items) {
            chosen.insert(item.get());
            const NodePtr parent = parentOf(item);
            if (std::find(parents.begin(), parents.end(), parent) == parents.end())
                parents.push_back(parent);
        }
        for (const NodePtr& parent : parents) {
            const std::vector<NodePtr> shown = _document.outlineModel().shownChildren(parent.get());
            const auto isChosen = [&](size_t i) { return chosen.contains(shown[i].get()); };
            // Each run of selected siblings trades places with the sibling before or after it.
            for (size_t first = 0; first < shown.size();) {
                size_t last = first;
                while (last < shown.size() && isChosen(last))
                    ++last;
                if (last == first) {
                    ++first;
                    continue;
                }
                const std::vector<NodePtr> run(shown.begin() + qsizetype(first),
                                               shown.begin() + qsizetype(last));
                if (up && first > 0)
                    moveItems(run, parent, shown[first - 1]);
                else if (!up && last < shown.size())
                    moveItems(run, parent, childAfter(*parent, shown[last].get()));
                first = last;
            }
        }
    });
}

void TreeShaping::moveItemsUp() {
    moveWithinParents(QT_TRANSLATE_NOOP("TreeShaping", "Move Up"), true);
}

void TreeShaping::moveItemsDown() {
    moveWithinParents(QT_TRANSLATE_NOOP("TreeShaping", "Move Down"), false);
}

void TreeShaping::newChildItem() {
    const NodePtr selected = _document.selection().lastSelectedItem();
    const NodePtr item = newToDoItem();
    IconRules::setMostRecentlyCreatedItem(item);
    _document.finishAllEditing();
    _document.undoStack().setUndoText(QCoreApplication::translate("TreeShaping", "New Child Item"));
    if (!insertItems({item}, selected, nullptr))
        return;
    _document.setSearchAsideFor({item});
    _document.editCell(item, Column::Name, true);
}

} // namespace tardigo
