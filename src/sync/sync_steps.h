#pragma once

#include <functional>

namespace tardigo {

/// The steps of a sync that leave something behind: after each, a kill leaves the list, the
/// folder and the state as they are then.
enum class SyncStep { ListSaved, StateRecorded, FileWritten, FileRemoved };

/// Called after each step; false stops the sync there, as a kill would. The seam through which
/// tests interrupt a sync at every step.
using SyncStepSeam = std::function<bool(SyncStep)>;

} // namespace tardigo
