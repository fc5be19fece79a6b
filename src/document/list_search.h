#pragma once

#include "model/value.h"
#include "outline/search_filter.h"

#include <QString>

#include <optional>
#include <vector>

namespace tardigo {

/// The search typed over a list's outline, held beside the list and never written to it. Until
/// something is typed, the list's stored "filter term" is the search.
class ListSearch {
public:
    /// What the search field shows: the text typed, else the stored term.
    QString text(const Dict& root) const;
    /// Whether a text was typed (an empty one included) instead of the stored term.
    bool isTyped() const { return _typed.has_value(); }
    /// Takes the text typed; none goes back to the stored term.
    void setTyped(std::optional<QString> typed);
    /// What the search shows of the list as it is now; null when there is nothing to search for.
    const SearchFilter* filter(const Dict& root);
    /// The lists (null for the top level) whose shown items changed with the text last set, when the
    /// search only narrowed or went back to one typed before; none when any list may have changed.
    std::optional<std::vector<NodePtr>> changedLists(const Dict& root);
    /// The list changed: the next filter reads the tree again.
    void invalidate();

private:
    std::optional<QString> _typed;
    // The searches typed since the list last changed, each narrowing the one before, the one shown
    // last: a narrower search reads the last one's matches, a deleted letter goes back to the one
    // before.
    std::vector<SearchFilter> _filters;
    std::optional<std::vector<NodePtr>> _changedLists;
    NotesTextCache _notes;
};

} // namespace tardigo
