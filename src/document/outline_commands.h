#pragma once

namespace tardigo {

class TardigoDocument;
class Value;
enum class Column;

/// The commands that change what the outline shows rather than the items.
class OutlineCommands {
public:
    OutlineCommands(const OutlineCommands&) = delete;
    OutlineCommands& operator=(const OutlineCommands&) = delete;

    /// The hide-completed switch in its new state; the switch is saved with the list.
    void toggleHideCompletedItems(bool hide);
    /// Shows or hides an optional column (category, due date, completion, notes); the icon and name
    /// columns always show.
    void toggleColumnVisibility(Column column);
    /// Stores the term the list opens searched for (nil: none), as a step that can be undone; the
    /// search shows the term stored.
    void setStoredSearchTerm(const Value& term);
    /// Selects the next row (or the previous one) after the selection that matches the search,
    /// going round the outline; false when no row does.
    bool selectNextMatch(bool backwards);

private:
    // Only its document makes one: each document has exactly one of its parts.
    friend class TardigoDocument;
    explicit OutlineCommands(TardigoDocument& document) : _document(document) {}

    TardigoDocument& _document;
};

} // namespace tardigo
