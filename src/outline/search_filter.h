#pragma once

#include "model/value.h"
#include "search/item_search.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

#include <vector>

namespace tardigo {

/// The folded plain text of notes, kept while a list is searched so that a keystroke does not read
/// every item's notes again. An entry holds its notes' bytes, which keeps their address from being
/// reused: a changed note has new bytes, so a stale entry is never found for it.
class NotesTextCache {
public:
    const QString& foldedText(const QByteArray& notes);
    void clear() { _entries.clear(); }

private:
    struct Entry {
        QByteArray notes;
        QString folded;
    };
    QHash<const char*, Entry> _entries;
};

/// What a search of the outline shows: the items that match it and their ancestors, so that every
/// match is seen in its place. Found in one walk; a search that narrows the previous one (each of
/// the previous words is part of one of its words) reads only the previous matches again.
class SearchFilter {
public:
    SearchFilter(const Dict& root, const QString& typed, const SearchFilter* previous, NotesTextCache& notes);

    const QString& typed() const { return _typed; }
    const ItemSearch& search() const { return _search; }
    /// Whether the item is shown: it matches, or one of its descendants does.
    bool shows(const Dict& item) const { return _shown.contains(&item); }
    bool matches(const Dict& item) const { return _matched.contains(&item); }

private:
    /// Marks the children of parent that match or hold a match, at every depth; whether any does.
    bool walkChildren(const Dict& parent, const SearchFilter* previous, NotesTextCache& notes);
    bool itemMatches(const Dict& item, NotesTextCache& notes) const;

    QString _typed;
    ItemSearch _search;
    QSet<const Dict*> _shown;
    QSet<const Dict*> _matched;
    // The shown items stay alive while the sets name them: no new item can take an address they hold.
    std::vector<NodePtr> _keptAlive;
};

} // namespace tardigo
