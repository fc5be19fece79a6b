#pragma once

#include "model/value.h"
#include "stickies/core/sticky_store.h"

#include <vector>

namespace tardigo {

/// A new sticky note for each item of the list at `listPath` (empty for an untitled list), in the
/// given order, each showing its item.
std::vector<StickyNote> stickyNotesForItems(const std::vector<NodePtr>& items, const QString& listPath);

/// The note showing the item as it is now: its name as the title, its notes, font and colour, and
/// what finds the item again. The note's own place, size and state stay.
StickyNote stickyNoteShowing(const Dict& item, StickyNote note);

/// The item of the tree that the note shows: `known` when it is still in the tree, else the item
/// with the note's uid, else the one with its "date created" and name; null when there is none.
NodePtr findStickyItem(const NodePtr& root, const StickyNote& note, const Dict* known);

} // namespace tardigo
