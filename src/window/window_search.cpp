#include "window/window_search.h"

#include "document/tardigo_document.h"
#include "outline/outline_item_model.h"
#include "outline/outline_selection.h"
#include "search/item_search.h"
#include "window/outline_tree_view.h"
#include "window/search_field.h"

#include <QApplication>

#include <utility>

namespace tardigo {

WindowSearch::WindowSearch(TardigoDocument& document, OutlineTreeView& outline, QWidget* parent)
    : QObject(parent), _document(document), _outline(outline), _field(new SearchField(parent)) {
    connect(_field, &SearchField::searchTyped, this, &WindowSearch::typed);
    connect(_field, &SearchField::finished, this, &WindowSearch::finish);
    connect(_field, &QLineEdit::returnPressed, this, [this] { findNext(false); });
}

void WindowSearch::find() {
    _field->setFocus(Qt::ShortcutFocusReason);
    _field->selectAll();
}

void WindowSearch::findNext(bool backwards) {
    if (!_document.outlineCommands().selectNextMatch(backwards))
        QApplication::beep();
}

void WindowSearch::render() {
    _field->showText(_document.searchText());
    followSearch();
}

void WindowSearch::typed(const QString& text) {
    // The refresh that follows shows the search through render().
    _document.setSearchText(text);
}

void WindowSearch::finish() {
    _outline.setFocus(Qt::OtherFocusReason);
    if (const NodePtr item = _outline.selection().lastSelectedItem())
        _outline.revealItems({item});
}

void WindowSearch::followSearch() {
    const QString searched = _document.searchText().trimmed();
    if (searched == _expandedFor)
        return;
    // A narrower search shows only items already open for the last one.
    if (!searched.isEmpty() && !_expandedFor.isEmpty() &&
        ItemSearch(searched).narrows(ItemSearch(_expandedFor))) {
        _narrowedFrom.append(std::exchange(_expandedFor, searched));
        return;
    }
    if (const qsizetype back = _narrowedFrom.indexOf(searched); !searched.isEmpty() && back >= 0) {
        _narrowedFrom.resize(back);
        _expandedFor = searched;
        return;
    }
    _narrowedFrom.clear();
    if (_expandedFor.isEmpty())
        _expandedBefore = _outline.expandedItems();
    // The whole outline at once: item by item, each one would lay the rows out again.
    if (!searched.isEmpty()) {
        _outline.expandItem(nullptr, true);
    } else {
        // What is selected when the search ends stays in view: its ancestors open too.
        std::vector<NodePtr> expanded = std::exchange(_expandedBefore, {});
        for (const NodePtr& item : _outline.selection().selectedItems())
            for (NodePtr& ancestor : _outline.outlineModel().ancestorsOf(item.get()))
                expanded.push_back(std::move(ancestor));
        _outline.showExpandedItems(expanded);
    }
    _expandedFor = searched;
}

} // namespace tardigo
