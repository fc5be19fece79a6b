#include "document/outline_commands.h"

#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "outline/outline_columns.h"
#include "outline/outline_item_model.h"
#include "outline/outline_selection.h"
#include "outline/outline_settings.h"

#include <QCoreApplication>

#include <algorithm>

namespace tardigo {

void OutlineCommands::toggleHideCompletedItems(bool hide) {
    _document.finishAllEditing();
    Dict& root = *_document.data();
    if (hide) {
        root.set(key::filterKey, key::completion);
        root.set(key::filterValue, Value::integer(1));
    } else {
        root.remove(key::filterKey);
    }
    // The items that stay shown stay selected.
    {
        const TardigoDocument::SyncingModel syncing(_document);
        emit _document.itemChanged(_document.data(), {key::filterKey, key::filterValue});
    }
    _document.updateDisplay();
    _document.countChange(TardigoDocument::ChangeKind::Done);
}

void OutlineCommands::toggleColumnVisibility(Column column) {
    if (!isColumnOptional(column))
        return;
    Dict& root = *_document.data();
    if (const QString* sorted = root.value(key::sortedColumn).asString();
        sorted && *sorted == columnIdentifier(column))
        root.remove(key::sortedColumn);
    OutlineSettings& settings = _document.outlineSettings();
    if (settings.hasColumn(column))
        settings.removeColumn(column);
    else
        settings.appendColumn(column);
    _document.countChange(TardigoDocument::ChangeKind::Done);
}

void OutlineCommands::setStoredSearchTerm(const Value& term) {
    Dict& root = *_document.data();
    {
        const UndoGroup step(_document.undoStack(),
                             QCoreApplication::translate("OutlineCommands", "clear search"));
        TardigoDocument* document = &_document;
        _document.undoStack().addUndoAction([document, old = root.value(key::filterTerm)] {
            document->outlineCommands().setStoredSearchTerm(old);
        });
        if (term.isNil())
            root.remove(key::filterTerm);
        else
            root.set(key::filterTerm, term);
    }
    _document.takeStoredSearchTerm();
    _document.updateDisplay();
}

bool OutlineCommands::selectNextMatch(bool backwards) {
    const OutlineItemModel& outline = _document.outlineModel();
    std::vector<NodePtr> shown; // in the outline's order, collapsed or not
    std::vector<NodePtr> pending = outline.shownChildren(nullptr);
    std::reverse(pending.begin(), pending.end());
    while (!pending.empty()) {
        NodePtr item = std::move(pending.back());
        pending.pop_back();
        std::vector<NodePtr> children = outline.shownChildren(item.get());
        pending.insert(pending.end(), children.rbegin(), children.rend());
        shown.push_back(std::move(item));
    }
    const qsizetype count = qsizetype(shown.size());
    const NodePtr current = _document.selection().lastSelectedItem();
    const auto at = std::find(shown.begin(), shown.end(), current);
    // With nothing selected, the first match from the top (or from the bottom) is next.
    qsizetype index = at == shown.end() ? (backwards ? count : -1) : at - shown.begin();
    for (qsizetype tried = 0; tried < count; ++tried) {
        index = (index + (backwards ? count - 1 : 1)) % count;
        if (_document.searchMatching(*shown[size_t(index)])) {
            _document.revealItems({shown[size_t(index)]});
            return true;
        }
    }
    return false;
}

} // namespace tardigo
