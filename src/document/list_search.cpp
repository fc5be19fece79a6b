#include "document/list_search.h"

#include "model/keys.h"
#include "model/node_operations.h"

#include <utility>

namespace tardigo {

QString ListSearch::text(const Dict& root) const {
    if (_typed)
        return *_typed;
    return stringOf(root, key::filterTerm);
}

void ListSearch::setTyped(std::optional<QString> typed) {
    _typed = std::move(typed);
    _changedLists.reset();
}

const SearchFilter* ListSearch::filter(const Dict& root) {
    const QString typed = text(root);
    if (typed.trimmed().isEmpty()) {
        _filters.clear();
        _notes.clear();
        return nullptr;
    }
    if (!_filters.empty() && _filters.back().typed() == typed)
        return &_filters.back();
    // Back to the last search typed that this one narrows: the lists that each one left behind took
    // rows from, and that this one takes rows from, are all that changed.
    const ItemSearch search(typed);
    std::vector<NodePtr> changed;
    while (!_filters.empty() && !search.narrows(_filters.back().search())) {
        if (const auto& lists = _filters.back().narrowedLists())
            appendOwners(*lists, changed);
        _filters.pop_back();
    }
    if (_filters.empty()) {
        _filters.emplace_back(root, typed, nullptr, _notes);
        _changedLists.reset();
        return &_filters.back();
    }
    if (_filters.back().typed() != typed) {
        _filters.reserve(_filters.size() + 1); // the previous search stays where it is while it is read
        _filters.emplace_back(root, typed, &_filters.back(), _notes);
        appendOwners(*_filters.back().narrowedLists(), changed);
    }
    _changedLists = std::move(changed);
    return &_filters.back();
}

std::optional<std::vector<NodePtr>> ListSearch::changedLists(const Dict& root) {
    filter(root);
    return std::exchange(_changedLists, std::nullopt);
}

void ListSearch::invalidate() {
    _filters.clear();
    _changedLists.reset();
}

} // namespace tardigo
