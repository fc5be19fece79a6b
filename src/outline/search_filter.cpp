#include "outline/search_filter.h"

#include "model/keys.h"
#include "model/node_operations.h"
#include "rich_text/notes_text.h"

namespace tardigo {

const QString& NotesTextCache::foldedText(const QByteArray& notes) {
    auto found = _entries.find(notes.constData());
    if (found == _entries.end() || found->notes.size() != notes.size())
        found = _entries.insert(notes.constData(),
                                {notes, foldForSearch(notesPlainText(notes).value_or(QString()))});
    return found->folded;
}

SearchFilter::SearchFilter(const Dict& root, const QString& typed, const SearchFilter* previous,
                           NotesTextCache& notes)
    : _typed(typed), _search(typed) {
    if (previous && !_search.narrows(previous->_search))
        previous = nullptr;
    if (previous) {
        // At most what the previous search showed: the sets are never grown while they are filled.
        _shown.reserve(previous->_shown.size());
        _matched.reserve(previous->_matched.size());
        _keptAlive.reserve(previous->_keptAlive.size());
    }
    walkChildren(root, previous, notes);
}

bool SearchFilter::walkChildren(const Dict& parent, const SearchFilter* previous, NotesTextCache& notes) {
    const ArrayPtr children = childrenOf(parent);
    if (!children)
        return false;
    bool anyShown = false;
    for (const Value& child : children->items) {
        const Dict* item = child.dictAddress();
        // A narrower search finds nothing where the previous one showed nothing, at any depth.
        if (!item || (previous && !previous->shows(*item)))
            continue;
        const bool below = walkChildren(*item, previous, notes);
        const bool matched = (!previous || previous->matches(*item)) && itemMatches(*item, notes);
        if (matched)
            _matched.insert(item);
        if (!matched && !below)
            continue;
        _shown.insert(item);
        _keptAlive.push_back(child.asDict());
        anyShown = true;
    }
    return anyShown;
}

bool SearchFilter::itemMatches(const Dict& item, NotesTextCache& notes) const {
    const QString* name = item.value(key::name).asString();
    const QString* category = item.value(key::category).asString();
    const QByteArray* notesData = item.value(key::notes).asData();
    return _search.matchesFoldedParts(
        {foldForSearch(name ? *name : QString()), foldForSearch(category ? *category : QString()),
         notesData ? QStringView(notes.foldedText(*notesData)) : QStringView()});
}

} // namespace tardigo
