#pragma once

#include "merge/list_base.h"
#include "model/tree_operations.h"
#include "model/value.h"

#include <QStringList>

#include <vector>

namespace tardigo {

/// What merging another version of a list into the one being edited found, and the changes that
/// make the merge.
struct ListMerge {
    /// Whether the merge can be made; when it cannot, nothing is to change.
    enum class Outcome {
        Merged,
        TooDeep, // the merged list would nest deeper than a list may hold
        Unsound, // the merged tree would lose or repeat an item (a fault of the merge, logged)
    };
    Outcome outcome = Outcome::Unsound;
    bool ok() const { return outcome == Outcome::Merged; }
    /// The nodes of the list being edited that change, each with all its content, to be set at once.
    std::vector<NodeContent> changes;
    /// How many items each side added, removed, changed or moved since the base.
    int changedHere = 0;
    int changedThere = 0;
    /// The names of the items both sides changed in different ways: each keeps our version, and a
    /// conflict copy of theirs follows it.
    QStringList conflicts;
    /// Their version, as the base of the next merge once the changes are made.
    ListBase base;
};

/// Merges the changes another program made to a list (`theirs`, as read from the file; the merge
/// takes its nodes) into the list being edited (`ours`), finding each side's changes against
/// `base`, what the list held when it was last read or saved here. Nothing of either side is lost:
/// - an item changed on one side only takes that side's version, what it says and where it stands;
/// - an item added on either side is in the merge, where that side put it;
/// - an item removed on one side goes, unless the other side changed what it says; its children
///   that stay take its place;
/// - an item both sides changed in different ways keeps ours, followed by a conflict copy of theirs;
///   where both moved it, ours stands;
/// - of the minder's stamps, a side's new stamp is taken, the later one when both stamped;
/// - the list's settings merge key by key, ours standing where both changed one.
/// `ours` is left as it is: the document makes the changes, as one step that can be undone.
ListMerge mergeLists(const ListBase& base, const NodePtr& ours, const NodePtr& theirs);

} // namespace tardigo
