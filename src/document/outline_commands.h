#pragma once

namespace tardigo {

class TardigoDocument;

/// The commands that change what the outline shows rather than the items.
class OutlineCommands {
public:
    OutlineCommands(const OutlineCommands&) = delete;
    OutlineCommands& operator=(const OutlineCommands&) = delete;

    /// Expands, or collapses, every top-level item with all its descendants.
    void expandAll();
    void collapseAll();
    /// The hide-completed switch in its new state; the switch is saved with the list.
    void toggleHideCompletedItems(bool hide);
    /// Shows or hides the optional column of the menu tag: 2 category, 3 due, 4 completion, 5 notes.
    void toggleColumnVisibility(int tag);

private:
    // Only its document makes one: each document has exactly one of its parts.
    friend class TardigoDocument;
    explicit OutlineCommands(TardigoDocument& document) : _document(document) {}

    TardigoDocument& _document;
};

} // namespace tardigo
