#include "document/list_search.h"

#include "model/keys.h"

namespace tardigo {

QString ListSearch::text(const Dict& root) const {
    if (_typed)
        return *_typed;
    const QString* stored = root.value(key::filterTerm).asString();
    return stored ? *stored : QString();
}

void ListSearch::setTyped(std::optional<QString> typed) {
    if (_filter)
        _previous = std::move(_filter);
    _filter.reset();
    _typed = std::move(typed);
}

const SearchFilter* ListSearch::filter(const Dict& root) {
    const QString typed = text(root);
    if (typed.trimmed().isEmpty()) {
        _filter.reset();
        _previous.reset();
        _notes.clear();
        return nullptr;
    }
    if (!_filter || _filter->typed() != typed) {
        _filter.emplace(root, typed, _previous ? &*_previous : nullptr, _notes);
        _previous.reset();
    }
    return &*_filter;
}

void ListSearch::invalidate() {
    _filter.reset();
    _previous.reset();
}

} // namespace tardigo
