#include "document/outline_commands.h"

#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "outline/outline_columns.h"
#include "outline/outline_view.h"
#include "platform/localized.h"

#include <algorithm>
#include <functional>

namespace tardigo {

namespace {

void forEachTopLevelItem(const Dict& root, const std::function<void(const NodePtr&)>& call) {
    if (const ArrayPtr children = childrenOf(root))
        for (const Value& child : children->items)
            if (const NodePtr item = child.asDict())
                call(item);
}

} // namespace

void OutlineCommands::expandAll() {
    forEachTopLevelItem(*_document.data(),
                        [this](const NodePtr& item) { _document.outlineView().expandItem(item, true); });
}

void OutlineCommands::collapseAll() {
    forEachTopLevelItem(*_document.data(),
                        [this](const NodePtr& item) { _document.outlineView().collapseItem(item, true); });
}

void OutlineCommands::toggleHideCompletedItems(bool hide) {
    _document.finishAllEditing();
    OutlineView& outline = _document.outlineView();
    const std::vector<NodePtr> selected = outline.selectedItems();
    outline.deselectAll();
    Dict& root = *_document.data();
    if (hide) {
        root.set(key::filterKey, key::completion);
        root.set(key::filterValue, Value::integer(1));
    } else {
        root.remove(key::filterKey);
    }
    emit _document.itemChanged(_document.data(), {key::filterKey, key::filterValue});
    _document.updateUIKeepingCounts();
    outline.selectItems(selected);
    _document.countChange(TardigoDocument::ChangeKind::Done);
}

void OutlineCommands::toggleColumnVisibility(int tag) {
    const std::optional<QString> column = outlineColumnForTag(tag);
    if (!column)
        return;
    const QString& identifier = *column;
    Dict& root = *_document.data();
    if (const QString* sorted = root.value(key::sortedColumn).asString(); sorted && *sorted == identifier)
        root.remove(key::sortedColumn);
    OutlineView& outline = _document.outlineView();
    if (outline.hasColumn(identifier))
        outline.removeColumn(identifier);
    else
        outline.appendColumn(identifier);
    _document.countChange(TardigoDocument::ChangeKind::Done);
}

void OutlineCommands::setStoredSearchTerm(const Value& term) {
    Dict& root = *_document.data();
    {
        const UndoGroup step(_document.undoManager(), localized(QStringLiteral("clear search")));
        TardigoDocument* document = &_document;
        _document.undoManager().registerUndo([document, old = root.value(key::filterTerm)] {
            document->outlineCommands().setStoredSearchTerm(old);
        });
        if (term.isNil())
            root.remove(key::filterTerm);
        else
            root.set(key::filterTerm, term);
    }
    _document.takeStoredSearchTerm();
    _document.updateUIKeepingCounts();
}

bool OutlineCommands::selectNextMatch(bool backwards) {
    std::vector<NodePtr> shown; // in the outline's order, collapsed or not
    std::vector<int> depths;
    const std::function<void(const NodePtr&, int)> collect = [&](const NodePtr& parent, int depth) {
        const ArrayPtr children = _document.visibleChildren(parent); // alive through the loop
        for (const Value& child : children->items)
            if (NodePtr item = child.asDict()) {
                shown.push_back(item);
                depths.push_back(depth);
                collect(item, depth + 1);
            }
    };
    collect(nullptr, 0);
    const qsizetype count = qsizetype(shown.size());
    OutlineView& outline = _document.outlineView();
    const NodePtr current = outline.lastSelectedItem();
    const auto at = std::find(shown.begin(), shown.end(), current);
    // With nothing selected, the first match from the top (or from the bottom) is next.
    qsizetype index = at == shown.end() ? (backwards ? count : -1) : at - shown.begin();
    for (qsizetype tried = 0; tried < count; ++tried) {
        index = (index + (backwards ? count - 1 : 1)) % count;
        const NodePtr& item = shown[size_t(index)];
        if (!_document.searchMatching(*item))
            continue;
        // Its ancestors are the nearest rows above it of each smaller depth, opened from the top down.
        std::vector<NodePtr> ancestors;
        for (qsizetype above = index - 1, depth = depths[size_t(index)]; above >= 0 && depth > 0; --above)
            if (depths[size_t(above)] < depth) {
                depth = depths[size_t(above)];
                ancestors.insert(ancestors.begin(), shown[size_t(above)]);
            }
        for (const NodePtr& ancestor : ancestors)
            outline.expandItem(ancestor, false);
        outline.selectItems({item});
        outline.scrollItemToVisible(item);
        return true;
    }
    return false;
}

} // namespace tardigo
