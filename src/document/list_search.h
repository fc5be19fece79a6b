#pragma once

#include "model/value.h"
#include "outline/search_filter.h"

#include <QString>

#include <optional>

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
    /// The list changed: the next filter reads the tree again.
    void invalidate();

private:
    std::optional<QString> _typed;
    std::optional<SearchFilter> _filter;
    // The filter before the last keystroke, which a narrower search reads instead of the whole list.
    std::optional<SearchFilter> _previous;
    NotesTextCache _notes;
};

} // namespace tardigo
