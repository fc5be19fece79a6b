#pragma once

#include "model/value.h"
#include "outline/narrowed_list.h"
#include "search/item_search.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <memory>
#include <optional>
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
/// match is seen in its place; an item the list's key filter hides (a completed one, while they are
/// hidden) matches nothing, nor do its children. Found in one walk of the tree; a search that narrows the
/// previous one (each of the previous words is part of one of its words) reads only the previous matches
/// again, in the texts the walk folded, and knows which lists it took rows from.
class SearchFilter {
public:
    SearchFilter(const Dict& root, const QString& typed, const SearchFilter* previous, NotesTextCache& notes);

    const QString& typed() const { return _typed; }
    const ItemSearch& search() const { return _search; }
    /// Whether the item is shown: it matches, or one of its descendants does.
    bool shows(const Dict& item) const { return stateOf(item) != State::Hidden; }
    bool matches(const Dict& item) const { return stateOf(item) == State::Matched; }
    /// When this search narrowed the previous one: the lists it shows fewer children of, the only
    /// lists that changed. None when it read the whole tree.
    const std::optional<std::vector<NarrowedList>>& narrowedLists() const { return _narrowedLists; }

private:
    /// An item the walk of the tree showed, in the order of the tree (each after its ancestors).
    struct Found {
        NodePtr item; // held: no new item can take the address the table names it by
        // For a match, what a narrower search reads again: where its folded name and category lie
        // in the walk's namesAndCategories, and its folded notes, shared with the notes cache rather
        // than copied (a note may be megabytes long).
        qsizetype textStart = 0;
        qsizetype nameAndCategoryLength = 0;
        QString foldedNotes;
    };
    /// What the walk found, shared by the narrower searches that follow it: they show part of it.
    struct Walk {
        std::vector<Found> found;
        // The matches' folded names and categories one after the other, in the tree's order: a
        // narrower search reads them through rather than from a string of each item's, anywhere in
        // memory.
        QString namesAndCategories;
        std::vector<qsizetype> parents;       // by place: the parent's place; -1 for the top level
        QHash<const Dict*, qsizetype> places; // each found item's place
    };
    enum class State : quint8 { Hidden, Ancestor, Matched };

    State stateOf(const Dict& item) const;
    /// Reads every item of the tree, without recursion: a list may nest deeper than the stack allows.
    void walkTree(const Dict& root, NotesTextCache& notes);
    /// Reads the previous search's matches again, and notes the lists it took rows from.
    void narrow(const SearchFilter& previous);
    /// The lists that lost rows since the previous search, each with its children shown before.
    std::vector<NarrowedList> listsNarrowedSince(const SearchFilter& previous) const;
    /// Shows the match at a place of the walk, and its ancestors.
    void showMatch(qsizetype place);

    QString _typed;
    ItemSearch _search;
    std::shared_ptr<const Walk> _walk;
    std::vector<State> _states;      // by place in the walk
    std::vector<qsizetype> _matched; // the places of the matches, in the order of the tree
    std::optional<std::vector<NarrowedList>> _narrowedLists;
};

} // namespace tardigo
