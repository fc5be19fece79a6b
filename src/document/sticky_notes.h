#pragma once

#include "model/value.h"
#include "platform/sticky_store.h"

#include <vector>

namespace tardigo {

/// A new sticky note for each item, in the given order: its name as the title, its notes as the
/// text, its colour as the note's.
std::vector<StickyNote> stickyNotesForItems(const std::vector<NodePtr>& items);

} // namespace tardigo
