#include "document/outline_commands.h"

#include "document/tardigo_document.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "outline/outline_columns.h"
#include "outline/outline_view.h"

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

} // namespace tardigo
