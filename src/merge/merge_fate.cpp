#include "merge/merge_fate.h"

namespace tardigo {

MergeFate mergeFate(const MergeSides& sides) {
    const bool changedHere = sides.oursChanged.value_or(false);
    const bool changedThere = sides.theirsChanged.value_or(false);
    if (sides.oursChanged && sides.theirsChanged) {
        if (!changedThere)
            return MergeFate::KeepOurs;
        return changedHere ? MergeFate::BothChanged : MergeFate::TakeTheirs;
    }
    if (sides.oursChanged) // gone there: removed there, unless it is new here
        return sides.inBase && !changedHere ? MergeFate::RemoveOurs : MergeFate::KeepOurs;
    if (sides.theirsChanged) // gone here: it comes back when it is new there or changed there
        return !sides.inBase || changedThere ? MergeFate::TakeTheirs : MergeFate::KeepOurs;
    return MergeFate::KeepOurs;
}

} // namespace tardigo
