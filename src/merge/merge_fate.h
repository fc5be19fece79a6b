#pragma once

#include <optional>

namespace tardigo {

/// What a two-way merge does with one item, "ours" being the side the merge writes into and
/// "theirs" the other one.
enum class MergeFate {
    KeepOurs,    // ours stands as it is, or stays removed
    TakeTheirs,  // theirs replaces ours, or comes in
    RemoveOurs,  // theirs removed it and ours did not change it
    BothChanged, // a conflict, unless both sides made the same change
};

/// Where one item stands since the base both sides started from (the last sync, or the last read
/// or save): on each side, absent, or present and changed or not. An item not in the base counts as
/// changed wherever it is.
struct MergeSides {
    bool inBase = false;
    std::optional<bool> oursChanged;   // none: not on our side
    std::optional<bool> theirsChanged; // none: not on their side
};

/// The item's fate. Nothing is dropped silently: an item removed on one side and changed on the
/// other is kept, and an item changed on both is left to the caller to compare.
MergeFate mergeFate(const MergeSides& sides);

} // namespace tardigo
